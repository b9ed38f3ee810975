#include "core/ContactSheet.h"

#include "kztools/kzStrTools.h"

namespace {

// The labels in GBK; the colon is the full-width one (A3 BA).
const char kHeader[] = "Tavelo v1.0 / Program by dovan.ke";
const char kName[] = "\xD0\xD5\xC3\xFB\xA3\xBA";       // 姓名：
const char kTel[] = "\xB5\xE7\xBB\xB0\xA3\xBA";        // 电话：
const char kQQ[] = "QQ\xA3\xBA";                       // QQ：
const char kPostcode[] = "\xD3\xCA\xB1\xE0\xA3\xBA";   // 邮编：
const char kAddress[] = "\xB5\xD8\xD6\xB7\xA3\xBA";    // 地址：
const char kMemo[] = "\xB1\xB8\xD7\xA2\xA3\xBA";       // 备注：
const char kIndent[] = "\xA1\xA1\xA1\xA1\xA1\xA1";     // three ideographic spaces

}  // namespace

TStringList BuildContactSheet(const TContactDetails& d) {
  TStringList sheet;
  sheet.Add(kHeader);
  sheet.Add(StrRepeat("=", 40));
  sheet.Add("");
  sheet.Add(kName + d.person);
  sheet.Add(kTel + d.tel);
  if (!d.qq.empty()) sheet.Add(kQQ + d.qq);
  if (!d.postcode.empty()) sheet.Add(kPostcode + d.postcode);
  sheet.Add(kAddress + d.address);
  for (size_t i = 0; i < d.memoLines.size(); ++i)
    sheet.Add((i == 0 ? kMemo : kIndent) + d.memoLines[i]);
  return sheet;
}
