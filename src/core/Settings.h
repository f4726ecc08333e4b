// The in-memory image of Tamberlyn.ini and the three routines that move it to and from the file.
#pragma once

#include <cstdint>
#include <string>

#include "base/DateUtils.h"

namespace core {

constexpr int kPictureListSize = 200;
// A name holds at most 260 characters, counted as the system counts them: in UTF-16 units (a mend: the
// count was of bytes, which in UTF-8 refused names in other scripts far shorter than the limit). Its bytes
// in the active code page take at most three per unit.
constexpr int kMaxFilename = 260;
constexpr int kFilenameBytes = 3 * kMaxFilename;

struct PictureEntry {
    // Shorter names end at the first zero byte; a name that fills the room has none.
    char Filename[kFilenameBytes];
    int32_t DisplayStyle;

    std::string Name() const;  // up to the first zero, at most 260 characters
    bool IsEmpty() const { return Filename[0] == '\0'; }
    // Stores the name's characters after the ones the slot holds (the slot is zero behind them); the 261st
    // character has no place and throws base::ERangeError, after the first 260 have been stored.
    void SetName(const std::string& name);
};

// The list is the run of entries from slot 0 up to, not including, the first empty name.
struct PictureList {
    PictureEntry Items[kPictureListSize];

    void Clear();  // every slot: zero bytes and style 0
    int Count() const;
};

struct TSettings {
    int32_t ChangeWhen = 0;  // 0 every run, otherwise daily
    int32_t Mode = 0;        // 0 directory, otherwise list
    int32_t NextImage = 0;
    bool ForceAD = false;
    std::string PictureDir;
    bool BMPtype = false;
    bool GIFtype = false;
    bool JPGtype = false;
    bool PNGtype = false;
    int32_t DisplayStyle = 0;  // 0 Center, 1 Stretch, 2 Tile
    base::TDate LastChanged;   // the zero date means never
    core::PictureList PictureList{};
};

// The one instance for the whole program.
extern TSettings Settings;

// The settings file's full path: the executable's directory and "Tamberlyn.ini", unless an
// IniFileOverride is alive.
std::string IniFileName();

// Points every settings routine (and IniFileName) at another file for the guard's lifetime, so that
// tests never touch the file beside their executable. The program itself never makes one.
class IniFileOverride {
public:
    explicit IniFileOverride(std::string fileName);
    ~IniFileOverride();
    IniFileOverride(const IniFileOverride&) = delete;
    IniFileOverride& operator=(const IniFileOverride&) = delete;

private:
    std::string previous_;
};

// Each returns true or throws base::Exception with the program's own message.
// ReadIniSettings clears the whole PictureList before it reads, so each read gives the file's list alone.
// The two writing routines change the file all at once (base::TIniFileUpdate): however one is stopped
// part-way, the file stays as it was.
bool ReadIniSettings();
bool WriteIniSettings();
bool MarkWallpaperChanged();
// Moves the rotation past a picture that can never be set, without recording a change.
bool SkipWallpaper();

}  // namespace core
