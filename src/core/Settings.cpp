#include "core/Settings.h"

#include <algorithm>
#include <cstring>

#include "base/IniFileUpdate.h"
#include "base/StringList.h"
#include "base/SysUtils.h"

namespace core {

TSettings Settings;

namespace {

const char kOptions[] = "Options";
const char kReadError[] = "ERROR: There was a problem reading the inifile";
const char kWriteError[] = "ERROR: There was a problem writing settings to the inifile";

std::string iniFileOverride;

// Callers see one message whatever went wrong; a base::Exception keeps its identity (and type) on the
// way out, anything else becomes one.
template <typename Body>
bool WithErrorMessage(const char* message, Body body) {
    try {
        body();
    } catch (base::Exception& error) {
        error.SetMessage(message);
        throw;
    } catch (...) {
        throw base::Exception(message);
    }
    return true;
}

// Whether a section name is the decimal number, without leading zeros, of a list section below the bound.
bool IsListSectionBelow(const std::string& name, int bound) {
    if (name.empty() || name.size() > 9 || (name.size() > 1 && name[0] == '0')) return false;
    for (char c : name) {
        if (c < '0' || c > '9') return false;
    }
    return std::stoi(name) < bound;
}

}  // namespace

std::string PictureEntry::Name() const {
    return std::string(Filename, std::find(Filename, Filename + kFilenameBytes, '\0'));
}

void PictureEntry::SetName(const std::string& name) {
    const std::string fits = base::LeadingUnits(name, kMaxFilename);
    std::copy(fits.begin(), fits.end(), Filename);
    if (fits.size() < name.size()) throw base::ERangeError();
}

void PictureList::Clear() {
    for (PictureEntry& entry : Items) {
        std::memset(entry.Filename, 0, sizeof entry.Filename);
        entry.DisplayStyle = 0;
    }
}

int PictureList::Count() const {
    int count = 0;
    while (count < kPictureListSize && !Items[count].IsEmpty()) ++count;
    return count;
}

std::string IniFileName() {
    return iniFileOverride.empty() ? base::ExeDirectory() + "Tamberlyn.ini" : iniFileOverride;
}

IniFileOverride::IniFileOverride(std::string fileName) : previous_(std::move(iniFileOverride)) {
    iniFileOverride = std::move(fileName);
}

IniFileOverride::~IniFileOverride() {
    iniFileOverride = std::move(previous_);
}

bool ReadIniSettings() {
    return WithErrorMessage(kReadError, [] {
        // A slot read over a longer name from an earlier read would keep that name's tail.
        Settings.PictureList.Clear();
        const base::TIniFile ini = base::ReadIniFile(IniFileName());
        Settings.ChangeWhen = ini.ReadInteger(kOptions, "ChangeWhen", 0);
        Settings.Mode = ini.ReadInteger(kOptions, "Mode", 0);
        Settings.ForceAD = ini.ReadBool(kOptions, "ForceAD", false);
        Settings.PictureDir = ini.ReadString(kOptions, "PictureDir", "C:\\WINDOWS");
        Settings.BMPtype = ini.ReadBool(kOptions, "BMPtype", true);
        Settings.GIFtype = ini.ReadBool(kOptions, "GIFtype", false);
        Settings.JPGtype = ini.ReadBool(kOptions, "JPGtype", false);
        Settings.PNGtype = ini.ReadBool(kOptions, "PNGtype", false);
        Settings.DisplayStyle = ini.ReadInteger(kOptions, "DisplayStyle", 0);
        Settings.LastChanged = ini.ReadDate(kOptions, "LastChanged", base::TDate());
        Settings.NextImage = ini.ReadInteger(kOptions, "NextImage", 0);

        // An entry with an empty name does not stop the reading: the sections behind it still fill
        // their slots, though the list itself ends at that entry.
        for (int i = 0; i < kPictureListSize; ++i) {
            const std::string section = std::to_string(i);
            if (!ini.SectionExists(section)) break;
            PictureEntry& entry = Settings.PictureList.Items[i];
            entry.SetName(ini.ReadString(section, "Filename", ""));
            entry.DisplayStyle = ini.ReadInteger(section, "DisplayStyle", 0);
        }
    });
}

bool WriteIniSettings() {
    return WithErrorMessage(kWriteError, [] {
        base::TIniFileUpdate update(IniFileName());
        base::TIniFile& ini = update.File();
        base::TStringList sections;
        ini.WriteInteger(kOptions, "ChangeWhen", Settings.ChangeWhen);
        ini.WriteInteger(kOptions, "Mode", Settings.Mode);
        ini.WriteBool(kOptions, "ForceAD", Settings.ForceAD);
        ini.WriteString(kOptions, "PictureDir", Settings.PictureDir);
        ini.WriteBool(kOptions, "BMPtype", Settings.BMPtype);
        ini.WriteBool(kOptions, "GIFtype", Settings.GIFtype);
        ini.WriteBool(kOptions, "JPGtype", Settings.JPGtype);
        ini.WriteBool(kOptions, "PNGtype", Settings.PNGtype);
        ini.WriteInteger(kOptions, "DisplayStyle", Settings.DisplayStyle);
        ini.WriteDate(kOptions, "LastChanged", Settings.LastChanged);
        ini.WriteInteger(kOptions, "NextImage", Settings.NextImage);

        // Erasing goes up to the file's section count (Options included): enough for list sections
        // numbered from 0 without gaps, as this routine writes them. A section put by hand beyond
        // that count stays in the file. Every header of a list section's name goes, also one without
        // keys and one written twice (the profile service erases one header a call): left behind, it
        // would take this save's keys in its own place, and the next save would move them.
        ini.ReadSections(sections);
        for (const std::string& name : sections) {
            if (IsListSectionBelow(name, sections.Count())) ini.EraseSection(name);
        }

        for (int i = 0; i < kPictureListSize; ++i) {
            const PictureEntry& entry = Settings.PictureList.Items[i];
            const std::string name = entry.Name();
            if (name.empty()) break;
            const std::string section = std::to_string(i);
            ini.WriteString(section, "Filename", name);
            ini.WriteInteger(section, "DisplayStyle", entry.DisplayStyle);
        }
        update.Commit();
    });
}

namespace {

// Wraps like the 32-bit counter it is instead of overflowing.
void MoveNextImageOn() {
    Settings.NextImage = static_cast<int32_t>(static_cast<uint32_t>(Settings.NextImage) + 1u);
}

}  // namespace

bool MarkWallpaperChanged() {
    Settings.LastChanged = base::Today();
    MoveNextImageOn();
    return WithErrorMessage(kWriteError, [] {
        base::TIniFileUpdate update(IniFileName());
        update.File().WriteDate(kOptions, "LastChanged", Settings.LastChanged);
        update.File().WriteInteger(kOptions, "NextImage", Settings.NextImage);
        update.Commit();
    });
}

bool SkipWallpaper() {
    MoveNextImageOn();
    return WithErrorMessage(kWriteError, [] {
        base::TIniFileUpdate update(IniFileName());
        update.File().WriteInteger(kOptions, "NextImage", Settings.NextImage);
        update.Commit();
    });
}

}  // namespace core
