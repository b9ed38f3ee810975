// The contact sheet "Contect.txt": the designer's contact details as GBK lines, written
// beside the renamed layer files so that the board maker knows whom to reach.
#pragma once

#include <string>
#include <vector>

#include "platform/LineList.h"

inline constexpr char kContactSheetFileName[] = "Contect.txt";

// Contact fields as GBK bytes, exactly as typed.
struct TContactDetails {
  std::string person, tel, qq, postcode, address;
  std::vector<std::string> memoLines;  // the memo's lines as displayed
};

// The sheet's lines in their order; the caller writes them with CR LF after each.
TStringList BuildContactSheet(const TContactDetails& details);
