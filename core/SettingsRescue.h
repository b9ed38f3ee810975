// Saving the choices at closing without losing them to a settings file that cannot be
// loaded: such a file is kept aside unchanged under a name that says so ("tavelo.ini.bad",
// then "tavelo.ini.bad.1", ..., never over an earlier one), the choices go to a fresh file,
// and an error naming the kept file tells the user what happened. Every other outcome of
// saving is SaveSettingsFile's own.
#pragma once

#include <string>

#include "core/Settings.h"
#include "platform/Exception.h"

// Raised after a rescue succeeded: the load error's message, then where the broken file
// was kept and that the choices were saved.
class ESettingsKeptAside : public Exception { using Exception::Exception; };

// The first of file + ".bad", ".bad.1", ".bad.2", ... that names nothing yet.
std::string KeptAsideName(const std::string& file);

// SaveSettingsFile, except when file exists and cannot be loaded: then the file is renamed
// to KeptAsideName, the choices are saved to a fresh file and ESettingsKeptAside is raised.
// When the broken file cannot be moved, the load error passes out and the file stays as it
// was; when the fresh file cannot be saved, the broken file is put back and the save's
// error passes out.
void SaveSettingsKeepingBrokenFile(const std::string& file, const TSettings& settings);
