#include "winapp/ErrorBoxText.h"

namespace winapp {

std::string ErrorBoxText(const std::string& message) {
  // Compared as bytes: the last byte of a UTF-8 character beyond ASCII sorts after '.'.
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}

}  // namespace winapp
