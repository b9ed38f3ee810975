// The Windows local clock: GetLocalTime, and system times made local the way file times
// are (FileTimeToLocalFileTime).
#include "platform/DateTime.h"
#include "platform/win32/WinApi.h"

namespace platform {
namespace {

LocalDateTime FromSystemTime(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

}  // namespace

LocalDateTime ToLocal(std::time_t t) {
  const uint64_t ticks = static_cast<uint64_t>(static_cast<int64_t>(t) * 10000000 + win32::kUnixEpochAsFileTime);
  FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  FILETIME local{};
  SYSTEMTIME st{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return {};
  return FromSystemTime(st);
}

LocalDateTime LocalNow() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return FromSystemTime(st);
}

}  // namespace platform
