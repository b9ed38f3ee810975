// The text of the error box: the error's message with a full stop appended when its last
// character sorts after the full stop (so "Stream write error" ends in one, "…." keeps its own).
#pragma once

#include <string>

namespace winapp {

std::string ErrorBoxText(const std::string& message);

}  // namespace winapp
