// The archive writer's wildcard matcher: "?", "*" and character sets "<...>", letters
// compared without regard to ASCII case, and the test of a name against a pattern list
// (the exclude list and the list of names stored without compression).
#pragma once

#include <string>
#include <string_view>

#include "platform/LineList.h"

// True when text holds one of the wildcard characters * ? < > |.
bool HasWildcards(std::string_view text);

// True when name matches pattern. Both are lower-cased in ASCII first. "?" matches one
// character, "*" any run (the empty run included), "<...>" one character of a set of
// single characters and ranges "a-z" (by byte value; a reversed range matches nothing),
// "<^...>" or "<!...>" one character outside the set. A set that is empty or not closed
// makes the whole match fail. A star followed by a set is an ordinary star: "*<0-9>"
// matches every name that ends in a digit.
bool IsMatch(std::string_view pattern, std::string_view name);

// True when a pattern of the list matches name: a pattern holding the path delimiter is
// matched against the whole name, any other pattern against the name part.
bool IsInPatternList(const TStringList& patterns, const std::string& name);

// The exclude list is tested with a file's full name.
inline bool IsInExcludeList(const TStringList& excludeList, const std::string& fullName) {
  return IsInPatternList(excludeList, fullName);
}
// The no-compress list is tested with an entry's FileName, which has no folder part.
inline bool IsInNoCompressList(const TStringList& noCompressList, const std::string& fileName) {
  return IsInPatternList(noCompressList, fileName);
}
