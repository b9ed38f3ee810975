// Execute, the action behind "执行", for every front end: rename each ticked layer's file to
// its bare code, write the contact sheet, pack the renamed files and the sheet when asked,
// and collect the result report's lines. PlanExecute tells what an Execute would do and
// changes nothing.
#pragma once

#include <string>
#include <vector>

#include "core/ExecuteRequest.h"
#include "platform/DateTime.h"
#include "zip/ZipWriter.h"

// Runs one Execute with writer (whose FilesList it empties first). report is filled as the
// steps go, so that after an error (raised as an Exception, which ends the run) it still
// tells what was done before it.
void RunExecute(const TExecuteRequest& request, TZipWriter& writer, TExecuteReport& report);

// What RunExecute would do now, without touching anything: each ticked layer's file, or
// the message it would report; the contact sheet's path and the archive's name.
TExecuteReport PlanExecute(const TExecuteRequest& request);

// The folder path with exactly one trailing delimiter; an empty path is the root.
std::string WorkingFolderOf(const std::string& folder);

// person + "-" + "yyyy-mm-dd-hhnn" + ".zip".
std::string ArchiveNameOf(const std::string& person, const platform::LocalDateTime& time);

// The result report's text: every line followed by CR LF, or "执行成功。" alone when there
// is no line at all.
std::string ResultText(const std::vector<std::string>& messages);

// At least one layer reported a problem (not found, already there, rename refused).
bool HasLayerMessages(const TExecuteReport& report);
