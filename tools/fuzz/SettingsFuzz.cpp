#include "SettingsFuzz.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <thread>
#include <typeinfo>

#include "base/DateUtils.h"
#include "base/IniFileUpdate.h"
#include "base/IniFiles.h"
#include "base/SysUtils.h"

namespace fuzz {

namespace {

const char kReadError[] = "ERROR: There was a problem reading the inifile";

class Random {
public:
    Random(uint64_t seed, uint64_t index) : engine_(Mix(Mix(seed) + index)) {}

    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(engine_() % bound); }
    int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<uint32_t>(high - low + 1))); }
    bool Percent(uint32_t percent) { return Below(1000) < percent * 10; }
    bool PerMille(uint32_t perMille) { return Below(1000) < perMille; }
    int32_t AnyInt32() { return static_cast<int32_t>(static_cast<uint32_t>(engine_())); }
    char AnyByte() { return static_cast<char>(Between(1, 255)); }
    template <typename T, size_t n>
    const T& Pick(const T (&items)[n]) {
        return items[Below(n)];
    }
    template <typename T>
    void Shuffle(std::vector<T>& items) {
        for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[Below(static_cast<uint32_t>(i))]);
    }

private:
    static uint64_t Mix(uint64_t x) {
        x += 0x9E3779B97F4A7C15ull;
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    }

    std::mt19937_64 engine_;
};

std::string RandomCase(Random& random, std::string name) {
    switch (random.Below(4)) {
        case 0:
            return base::UpperCaseAscii(name);
        case 1:
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return name;
        default:
            return name;
    }
}

// Blanks the profile service trims from both ends of a key and a value.
std::string Blanks(Random& random) {
    std::string blanks(random.Below(3), ' ');
    if (random.Percent(30)) blanks += '\t';
    return blanks;
}

// Integer text by the reader's rules, with what it reads as: decimal with or without sign and leading
// zeros, hexadecimal of the bit pattern, blanks around; out of range or malformed text reads as the default.
std::string IntegerText(Random& random, int32_t value, int32_t def, int32_t& reads) {
    static const char* const outOfRange[] = {"2147483648",           "-2147483649", "4294967296",
                                             "99999999999999999999", "0x100000000", "0x123456789"};
    static const char* const malformed[] = {"",     "12abc", "0x", "0xZZ", "1e3",  "--1", "+-1", "$10",  "1 2",
                                            "0x-1", "+",     "-",  "yes",  "0x 1", "1.0", "one", "\x01", "0b1"};
    const std::string decimal = std::to_string(value);
    reads = value;
    switch (random.Below(12)) {
        case 0:
            return value >= 0 ? "+" + decimal : decimal;
        case 1:
            return value >= 0 ? std::string(random.Between(1, 3), '0') + decimal
                              : "-" + std::string(random.Between(1, 3), '0') + decimal.substr(1);
        case 2: {
            const uint32_t bits = static_cast<uint32_t>(value);
            int digits = 1;
            while (digits < 8 && (bits >> (4 * digits)) != 0) ++digits;
            return base::Format(random.Percent(50) ? "0x%0*X" : "0X%0*x", random.Between(digits, 8), bits);
        }
        case 3:
            return Blanks(random) + decimal + Blanks(random);
        case 4:
            reads = def;
            return random.Pick(outOfRange);
        case 5:
            reads = def;
            return random.Pick(malformed);
        default:
            return decimal;
    }
}

int32_t SomeInteger(Random& random, int32_t commonUpTo) {
    switch (random.Below(10)) {
        case 0:
            return random.AnyInt32();
        case 1:
            return random.Percent(50) ? INT32_MIN : INT32_MAX;
        case 2:
            return -random.Between(1, 3);
        default:
            return random.Between(0, commonUpTo);
    }
}

bool IsPlainEnd(char c) {
    return c > ' ' && c < 0x7F && c != '"' && c != '\'';
}

// A value the profile service hands back as written: any bytes but line breaks inside, and neither blanks
// nor a quote at its ends.
std::string PlainString(Random& random, size_t length) {
    static const char ends[] = "ABCXYZabcxyz019\\:._-~";
    std::string text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        char c = random.AnyByte();
        if (i == 0 || i + 1 == length) {
            if (!IsPlainEnd(c)) c = ends[random.Below(sizeof ends - 1)];
        } else if (c == '\r' || c == '\n') {
            c = '|';
        }
        text += c;
    }
    return text;
}

// String text with what it reads as: as written, quoted, or with blanks around; cut at 2047 characters.
std::string StringText(Random& random, const std::string& value, std::string& reads) {
    reads = base::LeadingUnits(base::InUtf8Lines(value), 2047);
    switch (random.Below(8)) {
        case 0: {
            const std::string quote = random.Percent(50) ? "\"" : "'";
            return quote + value + quote;
        }
        case 1:
            return Blanks(random) + value + Blanks(random);
        default:
            return value;
    }
}

size_t SomeLength(Random& random, size_t longest) {
    switch (random.Below(40)) {
        case 0:
            return 0;
        case 1:
            return static_cast<size_t>(random.Between(259, 262));
        case 2:
            return static_cast<size_t>(random.Between(2040, 2100));
        default:
            return static_cast<size_t>(random.Between(1, static_cast<int>(longest)));
    }
}

int ThisYear() {
    int year, month, day;
    base::Today().ToYMD(year, month, day);
    return year;
}

// Date text with what it reads as: the user's short date format, blanks around, text that is no date
// (the zero date); in other formats the reader may or may not see a date.
std::string DateText(Random& random, base::TDate& reads, bool& known) {
    static const char* const otherFormats[] = {"yyyy-MM-dd", "d.M.yyyy", "dd/MM/yyyy", "dddd, MMMM d, yyyy",
                                               "yyyyMMdd",   "M/d/yy",   "d MMM yyyy", "gg y/M/d"};
    static const char* const noDates[] = {"never", "sometime", "0/0/0000", "99/99/9999", "", "  ", "-", "1/"};
    const int today = base::Today().Serial();
    int serial;
    switch (random.Below(8)) {
        case 0:
            serial = 0;
            break;
        case 1:
            serial =
                random.Between(base::TDate::FromYMD(1, 1, 1).Serial(), base::TDate::FromYMD(9999, 12, 31).Serial());
            break;
        default:
            serial = random.Between(today - 800, today + 400);
    }
    const base::TDate date = base::TDate::FromSerial(serial);
    int year, month, day;
    date.ToYMD(year, month, day);
    reads = date;
    known = true;
    switch (random.Below(10)) {
        case 0:
            known = false;
            return base::DateToStr(date, random.Pick(otherFormats));
        case 1:
            reads = base::TDate();
            return random.Pick(noDates);
        default: {
            const std::string text = base::DateToStr(date);
            // A year the text does not spell out in full reads within the window around this year.
            known = std::abs(year - ThisYear()) < 50 || text.find(std::to_string(year)) != std::string::npos;
            return random.Percent(20) ? Blanks(random) + text + Blanks(random) : text;
        }
    }
}

struct Section {
    std::string header;  // as written between the brackets
    std::vector<std::string> lines;
};

std::string KeyLine(Random& random, const char* key, const std::string& value) {
    std::string line = RandomCase(random, key);
    if (random.Percent(10)) line = Blanks(random) + line + Blanks(random);
    return line + "=" + value;
}

// The Options section's keys, each written or left out, with what the record then reads as.
void MakeOptions(Random& random, bool hugeDir, Section& options, Expectation& expected, std::string& recipe) {
    core::TSettings& record = expected.record;
    struct Integer {
        const char* key;
        int32_t core::TSettings::*field;
        Field id;
        int32_t commonUpTo;
    };
    struct Boolean {
        const char* key;
        bool core::TSettings::*field;
        Field id;
        bool def;
    };
    static const Integer integers[] = {{"ChangeWhen", &core::TSettings::ChangeWhen, kChangeWhen, 1},
                                       {"Mode", &core::TSettings::Mode, kMode, 1},
                                       {"DisplayStyle", &core::TSettings::DisplayStyle, kDisplayStyle, 2},
                                       {"NextImage", &core::TSettings::NextImage, kNextImage, 250}};
    static const Boolean booleans[] = {{"ForceAD", &core::TSettings::ForceAD, kForceAD, false},
                                       {"BMPtype", &core::TSettings::BMPtype, kBMPtype, true},
                                       {"GIFtype", &core::TSettings::GIFtype, kGIFtype, false},
                                       {"JPGtype", &core::TSettings::JPGtype, kJPGtype, false},
                                       {"PNGtype", &core::TSettings::PNGtype, kPNGtype, false}};
    std::vector<std::string> lines;
    // Writes the key unless it is left out (the record keeps its default then); now and then twice, where a
    // second, different value leaves the field to the profile service.
    auto write = [&](const char* key, Field id, const std::string& value, const std::string& other) {
        if (random.Percent(8)) return false;
        lines.push_back(KeyLine(random, key, value));
        if (random.Percent(3)) {
            const bool same = random.Percent(50);
            lines.push_back(KeyLine(random, key, same ? value : other));
            if (!same && other != value) expected.known.reset(id);
        }
        return true;
    };
    for (const Integer& integer : integers) {
        int32_t reads;
        const std::string text = IntegerText(random, SomeInteger(random, integer.commonUpTo), 0, reads);
        if (write(integer.key, integer.id, text, "7")) record.*integer.field = reads;
    }
    for (const Boolean& boolean : booleans) {
        int32_t reads;
        const std::string text = IntegerText(random, SomeInteger(random, 2), boolean.def ? 1 : 0, reads);
        if (write(boolean.key, boolean.id, text, "0")) record.*boolean.field = reads != 0;
    }
    std::string dir = PlainString(random, SomeLength(random, 120));
    if (hugeDir) {
        dir = PlainString(random, static_cast<size_t>(random.Between(2, 6)) << 20);
        recipe += " huge-dir";
    }
    std::string dirReads;
    const std::string dirText = StringText(random, dir, dirReads);
    if (write("PictureDir", kPictureDir, dirText, "D:\\")) record.PictureDir = dirReads;
    base::TDate dateReads;
    bool dateKnown;
    const std::string dateText = DateText(random, dateReads, dateKnown);
    if (write("LastChanged", kLastChanged, dateText, "1/1/2000")) {
        record.LastChanged = dateReads;
        if (!dateKnown) expected.known.reset(kLastChanged);
    }
    random.Shuffle(lines);
    options.lines.insert(options.lines.end(), lines.begin(), lines.end());
}

// Up to 300 list sections, with gaps, empty names, sections without keys and names of every length,
// with the list they read as: up to the first missing section, and a read error at an overlong name.
void MakeList(Random& random, std::vector<Section>& sections, Expectation& expected, std::string& recipe) {
    // Long lists are few: a save rewrites the whole file for every key it writes.
    static const int longest[] = {199, 200, 201, 202, 300};
    const uint32_t size = random.Below(100);
    const int count = size < 75 ? random.Between(0, 6) : size < 95 ? random.Between(7, 60) : random.Pick(longest);
    recipe += " list=" + std::to_string(std::max(count, 0));
    bool reading = true;
    for (int i = 0; i < count; ++i) {
        Section section{std::to_string(i), {}};
        const uint32_t kind = random.Below(100);
        std::string name;
        if (kind >= 4) name = PlainString(random, SomeLength(random, 90));
        std::string reads;
        const std::string nameText = kind < 2 ? "" : StringText(random, name, reads);
        int32_t style;
        const std::string styleText = IntegerText(random, SomeInteger(random, 2), 0, style);
        bool exists = true;
        if (kind == 0 || kind == 1) {
            // A section of its style alone (1: with an empty name written): it exists, and ends the list.
            if (kind == 1) section.lines.push_back(KeyLine(random, "Filename", ""));
            section.lines.push_back(KeyLine(random, "DisplayStyle", styleText));
        } else if (kind == 2) {
            exists = false;  // a header without keys counts as missing
        } else if (kind == 3) {
            exists = false;  // a gap
            section.header.clear();
        } else {
            section.lines.push_back(KeyLine(random, "Filename", nameText));
            if (random.Percent(10))
                style = 0;
            else
                section.lines.push_back(KeyLine(random, "DisplayStyle", styleText));
            random.Shuffle(section.lines);
        }
        if (!section.header.empty()) {
            if (random.PerMille(5)) section.header = "0" + section.header;  // not the section i names
            sections.push_back(section);
        }
        if (section.header != std::to_string(i)) exists = false;
        if (!reading || i >= core::kPictureListSize) continue;
        if (!exists) {
            reading = false;
            continue;
        }
        if (base::WideLength(reads) > static_cast<size_t>(core::kMaxFilename)) {
            expected.outcome = Expectation::Outcome::ReadError;
            reading = false;
            continue;
        }
        core::PictureEntry& entry = expected.record.PictureList.Items[i];
        std::memcpy(entry.Filename, reads.data(), reads.size());
        entry.DisplayStyle = style;
    }
}

void AddNoise(Random& random, bool bulk, std::vector<Section>& sections, std::string& recipe) {
    static const char* const headers[] = {"Other", "Tamberlyn", "200", "-1", "Options2", "x"};
    for (int i = random.Between(0, 2); i > 0; --i) {
        Section noise{random.Pick(headers), {}};
        for (int k = random.Between(0, 3); k > 0; --k) noise.lines.push_back("Key" + std::to_string(k) + "=v");
        sections.push_back(noise);
    }
    for (Section& section : sections) {
        if (random.Percent(10))
            section.lines.insert(section.lines.begin(), "; a comment=" + std::to_string(section.lines.size()));
        if (random.Percent(5)) section.lines.push_back("");
        if (random.Percent(3) && section.header == "Options") section.lines.push_back("Unknown=1");
    }
    if (bulk) {
        // Several megabytes that the reader has no business with.
        Section bulky{"Bulk", {}};
        const int lines = random.Between(20000, 60000);
        for (int i = 0; i < lines; ++i) bulky.lines.push_back("Line" + std::to_string(i) + "=" + std::string(90, 'b'));
        sections.push_back(bulky);
        recipe += " bulk";
    }
}

std::string Render(Random& random, const std::vector<Section>& sections, Expectation& expected, std::string& recipe) {
    const uint32_t endings = random.Below(20);
    std::string text;
    auto end = [&]() -> const char* {
        if (endings < 12) return "\r\n";
        if (endings < 16) return "\n";
        if (endings < 19) return random.Percent(50) ? "\r\n" : "\n";
        return random.Percent(70) ? "\r\n" : "\r";
    };
    if (endings == 19) {
        // Whether a lone CR ends a line is the profile service's business.
        expected.known.reset();
        expected.outcome = Expectation::Outcome::Unknown;
        recipe += " lone-CR";
    }
    for (const Section& section : sections) {
        text += "[" + section.header + "]" + end();
        for (const std::string& line : section.lines) text += line + end();
    }
    if (random.Percent(10) && !text.empty()) text.resize(text.find_last_not_of("\r\n") + 1);
    return text;
}

// Byte by byte: any byte from 0x01 to 0xFF set, inserted, removed, repeated; the file cut short.
void Mutate(Random& random, std::string& bytes, Expectation& expected, std::string& recipe) {
    expected.known.reset();
    expected.outcome = Expectation::Outcome::Unknown;
    recipe += " mutated";
    for (int n = random.Between(1, 8); n > 0; --n) {
        const size_t at = bytes.empty() ? 0 : random.Below(static_cast<uint32_t>(bytes.size()));
        const size_t span = std::min<size_t>(random.Between(1, 40), bytes.size() - at);
        switch (random.Below(5)) {
            case 0:
                if (!bytes.empty()) bytes[at] = random.AnyByte();
                break;
            case 1:
                for (size_t i = random.Between(1, 20); i > 0; --i) bytes.insert(bytes.begin() + at, random.AnyByte());
                break;
            case 2:
                bytes.erase(at, span);
                break;
            case 3:
                bytes.insert(at, bytes.substr(at, span));
                break;
            default:
                bytes.resize(at);
        }
    }
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// What one read gives: "" when it read, the read error's message, or anything else that came out.
std::string ReadOutcome() {
    try {
        core::ReadIniSettings();
        return "";
    } catch (const base::Exception& error) {
        return error.Message();
    } catch (const std::exception& error) {
        return std::string("a ") + typeid(error).name() + ": " + error.what();
    } catch (...) {
        return "an unknown exception";
    }
}

std::string Shown(const std::string& text) {
    std::string shown;
    for (unsigned char c : text.substr(0, 60))
        shown += c >= ' ' && c < 0x7F ? std::string(1, c) : base::Format("\\x%02X", c);
    return '"' + shown + (text.size() > 60 ? "\"... (" + std::to_string(text.size()) + ")" : "\"");
}

// Ends the process with a report when a file takes longer than the limit.
class Watchdog {
public:
    explicit Watchdog(DWORD limitMs) : limit_(limitMs), thread_([this] { Watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Start(uint64_t index) {
        std::lock_guard<std::mutex> lock(mutex_);
        index_ = index;
        busy_ = true;
        ++generation_;
        changed_.notify_all();
    }
    void Stop() {
        std::lock_guard<std::mutex> lock(mutex_);
        busy_ = false;
        changed_.notify_all();
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stopping_) {
            if (!busy_) {
                changed_.wait(lock);
                continue;
            }
            const uint64_t generation = generation_;
            if (!changed_.wait_for(lock, std::chrono::milliseconds(limit_),
                                   [&] { return stopping_ || !busy_ || generation_ != generation; })) {
                std::fprintf(stderr, "FINDING: file %llu took longer than %lu ms; the process ends here\n",
                             static_cast<unsigned long long>(index_), static_cast<unsigned long>(limit_));
                std::fflush(stderr);
                ExitProcess(3);
            }
        }
    }

    DWORD limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool busy_ = false;
    bool stopping_ = false;
    uint64_t index_ = 0;
    uint64_t generation_ = 0;
    std::thread thread_;
};

std::atomic<uint64_t> currentIndex{0};

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "FINDING: file %llu crashed the reader (exception 0x%08lX); the process ends here\n",
                 static_cast<unsigned long long>(currentIndex.load()),
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The profile services' oracle: the same reads and the same saves through GetPrivateProfileString and
// WritePrivateProfileString, key by key, as the program made them before it read and wrote its files whole.
const char kMissing[] = "\n<missing key>";
const char kOptions[] = "Options";
const char* const kOptionKeys[] = {"ChangeWhen", "Mode",    "ForceAD",      "PictureDir",  "BMPtype",  "GIFtype",
                                   "JPGtype",    "PNGtype", "DisplayStyle", "LastChanged", "NextImage"};

std::string ServicesRead(const std::string& path, const std::string& section, const std::string& key) {
    std::vector<char> value(8192);
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, value.data(),
                                                  static_cast<DWORD>(value.size()), path.c_str());
    const std::string read(value.data(), length);
    return read == kMissing ? read : base::LeadingUnits(read, 2047);
}

std::vector<std::string> ServicesNames(const std::string& path, const char* section) {
    std::vector<char> buffer(1 << 16);
    DWORD length;
    while ((length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                              path.c_str())) +
               2 >=
           buffer.size())
        buffer.resize(buffer.size() * 2);
    std::vector<std::string> names;
    for (DWORD at = 0; at < length; at += static_cast<DWORD>(names.back().size()) + 1) names.emplace_back(&buffer[at]);
    return names;
}

std::string ReadDifference(const std::string& theirs, const base::TIniFile& ours) {
    base::TStringList sections;
    ours.ReadSections(sections);
    if (std::vector<std::string>(sections.begin(), sections.end()) != ServicesNames(theirs, nullptr))
        return "the section names differ";
    for (const char* key : kOptionKeys) {
        if (ours.ReadString(kOptions, key, kMissing) != ServicesRead(theirs, kOptions, key))
            return std::string("Options/") + key + " reads " + Shown(ours.ReadString(kOptions, key, kMissing)) +
                   ", the services read " + Shown(ServicesRead(theirs, kOptions, key));
    }
    for (int i = 0; i < core::kPictureListSize; ++i) {
        const std::string section = std::to_string(i);
        if (ours.SectionExists(section) != !ServicesNames(theirs, section.c_str()).empty())
            return "section " + section + " exists for one reading only";
        for (const char* key : {"Filename", "DisplayStyle"}) {
            if (ours.ReadString(section, key, kMissing) != ServicesRead(theirs, section, key))
                return section + "/" + key + " reads " + Shown(ours.ReadString(section, key, kMissing)) +
                       ", the services read " + Shown(ServicesRead(theirs, section, key));
        }
    }
    return "";
}

bool IsListSectionBelow(const std::string& name, size_t bound) {
    if (name.empty() || name.size() > 9 || (name.size() > 1 && name[0] == '0')) return false;
    for (char c : name) {
        if (c < '0' || c > '9') return false;
    }
    return static_cast<size_t>(std::stoi(name)) < bound;
}

void ServicesWrite(const std::string& path, const std::string& section, const char* key, const std::string& value) {
    WritePrivateProfileStringA(section.c_str(), key, base::IniValueText(value).c_str(), path.c_str());
}

void ServicesSave(const std::string& path) {
    const core::TSettings& settings = core::Settings;
    const std::string values[] = {std::to_string(settings.ChangeWhen),   std::to_string(settings.Mode),
                                  settings.ForceAD ? "1" : "0",          settings.PictureDir,
                                  settings.BMPtype ? "1" : "0",          settings.GIFtype ? "1" : "0",
                                  settings.JPGtype ? "1" : "0",          settings.PNGtype ? "1" : "0",
                                  std::to_string(settings.DisplayStyle), base::DateToStr(settings.LastChanged),
                                  std::to_string(settings.NextImage)};
    for (size_t i = 0; i < std::size(kOptionKeys); ++i) ServicesWrite(path, kOptions, kOptionKeys[i], values[i]);
    const std::vector<std::string> sections = ServicesNames(path, nullptr);
    for (const std::string& name : sections) {
        if (IsListSectionBelow(name, sections.size()))
            WritePrivateProfileStringA(name.c_str(), nullptr, nullptr, path.c_str());
    }
    for (int i = 0; i < core::kPictureListSize; ++i) {
        const std::string name = settings.PictureList.Items[i].Name();
        if (name.empty()) break;
        ServicesWrite(path, std::to_string(i), "Filename", name);
        ServicesWrite(path, std::to_string(i), "DisplayStyle",
                      std::to_string(settings.PictureList.Items[i].DisplayStyle));
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

void ServicesMark(const std::string& path) {
    ServicesWrite(path, kOptions, "LastChanged", base::DateToStr(core::Settings.LastChanged));
    ServicesWrite(path, kOptions, "NextImage", std::to_string(core::Settings.NextImage));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

std::string FirstDifference(const std::string& ours, const std::string& theirs) {
    if (ours == theirs) return "";
    const size_t at =
        static_cast<size_t>(std::mismatch(ours.begin(), ours.end(), theirs.begin(), theirs.end()).first - ours.begin());
    return base::Format("at byte %u: ", static_cast<unsigned>(at)) + Shown(ours.substr(at > 20 ? at - 20 : 0, 60)) +
           ", the services " + Shown(theirs.substr(at > 20 ? at - 20 : 0, 60));
}

}  // namespace

MadeFile SettingsFileMaker::Make(uint64_t index) const {
    Random random(seed_, index);
    MadeFile file;
    Expectation& expected = file.expected;
    expected.known.set();
    core::TSettings& record = expected.record;
    record.PictureDir = "C:\\WINDOWS";
    record.BMPtype = true;
    record.PictureList.Clear();
    if (random.Percent(1)) {
        file.recipe = "empty";
        return file;
    }
    // One file in 2000 has several megabytes, in its directory or in a section of its own: the index
    // decides, so that a short run can pick one.
    const bool severalMegabytes = index % kSeveralMegabytesEvery == kSeveralMegabytesAt;
    const bool hugeDir = severalMegabytes && random.Percent(50);
    std::vector<Section> sections;
    Section options{RandomCase(random, "Options"), {}};
    MakeOptions(random, hugeDir, options, expected, file.recipe);
    sections.push_back(options);
    MakeList(random, sections, expected, file.recipe);
    AddNoise(random, severalMegabytes && !hugeDir, sections, file.recipe);
    if (random.Percent(2)) {
        // A section written twice reads as the profile service picks.
        sections.push_back(sections[random.Below(static_cast<uint32_t>(sections.size()))]);
        expected.known.reset();
        expected.outcome = Expectation::Outcome::Unknown;
        file.recipe += " twice";
    }
    random.Shuffle(sections);
    file.bytes = Render(random, sections, expected, file.recipe);
    if (random.Percent(4)) {
        // Notepad's "Unicode" and "UTF-8 with BOM": the same text, which reads the same.
        base::TIniEncoding plain;
        const std::wstring text = base::DecodeIniText(file.bytes, plain);
        const bool utf16 = random.Percent(60);
        file.bytes = base::EncodeIniText(text, utf16 ? base::TIniEncoding::Utf16 : base::TIniEncoding::Utf8WithMark);
        file.recipe += utf16 ? " utf16" : " utf8-bom";
    }
    if (random.Percent(25)) Mutate(random, file.bytes, expected, file.recipe);
    return file;
}

std::string RecordDifference(const core::TSettings& expected, const core::TSettings& actual, FieldSet fields) {
    auto integer = [](const char* name, int64_t a, int64_t b) {
        return a == b ? std::string() : base::Format("%s: %lld expected, %lld read", name, a, b);
    };
    std::string difference;
    auto note = [&difference](const std::string& found) {
        if (difference.empty()) difference = found;
    };
    if (fields[kChangeWhen]) note(integer("ChangeWhen", expected.ChangeWhen, actual.ChangeWhen));
    if (fields[kMode]) note(integer("Mode", expected.Mode, actual.Mode));
    if (fields[kForceAD]) note(integer("ForceAD", expected.ForceAD, actual.ForceAD));
    if (fields[kPictureDir] && expected.PictureDir != actual.PictureDir)
        note("PictureDir: " + Shown(expected.PictureDir) + " expected, " + Shown(actual.PictureDir) + " read");
    if (fields[kBMPtype]) note(integer("BMPtype", expected.BMPtype, actual.BMPtype));
    if (fields[kGIFtype]) note(integer("GIFtype", expected.GIFtype, actual.GIFtype));
    if (fields[kJPGtype]) note(integer("JPGtype", expected.JPGtype, actual.JPGtype));
    if (fields[kPNGtype]) note(integer("PNGtype", expected.PNGtype, actual.PNGtype));
    if (fields[kDisplayStyle]) note(integer("DisplayStyle", expected.DisplayStyle, actual.DisplayStyle));
    if (fields[kLastChanged])
        note(integer("LastChanged (day)", expected.LastChanged.Serial(), actual.LastChanged.Serial()));
    if (fields[kNextImage]) note(integer("NextImage", expected.NextImage, actual.NextImage));
    if (fields[kPictureList]) {
        for (int i = 0; i < core::kPictureListSize && difference.empty(); ++i) {
            const core::PictureEntry& a = expected.PictureList.Items[i];
            const core::PictureEntry& b = actual.PictureList.Items[i];
            if (std::memcmp(a.Filename, b.Filename, sizeof a.Filename) != 0)
                note(base::Format("slot %d: ", i) + Shown(std::string(a.Filename, sizeof a.Filename)) + " expected, " +
                     Shown(std::string(b.Filename, sizeof b.Filename)) + " read");
            note(integer(base::Format("slot %d style", i).c_str(), a.DisplayStyle, b.DisplayStyle));
        }
    }
    return difference;
}

core::TSettings ListCutAtFirstEmptyName(core::TSettings record) {
    for (int i = record.PictureList.Count(); i < core::kPictureListSize; ++i) {
        std::memset(record.PictureList.Items[i].Filename, 0, sizeof record.PictureList.Items[i].Filename);
        record.PictureList.Items[i].DisplayStyle = 0;
    }
    return record;
}

SettingsFuzzer::SettingsFuzzer(std::string folder, uint64_t seed, DWORD perFileLimitMs)
    : folder_(std::move(folder)), maker_(seed), perFileLimitMs_(perFileLimitMs) {
    routes_.push_back({"WriteIniSettings", [] { core::WriteIniSettings(); }, true});
}

Figures SettingsFuzzer::Run(uint64_t first, uint64_t count, std::vector<Finding>& findings) {
    Figures figures;
    const LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = SetUnhandledExceptionFilter(ReportCrash);
    Watchdog watchdog(perFileLimitMs_);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (uint64_t index = first; index < first + count; ++index) {
        currentIndex = index;
        LARGE_INTEGER fileStart, fileEnd;
        QueryPerformanceCounter(&fileStart);
        watchdog.Start(index);
        const MadeFile file = maker_.Make(index);
        CheckFile(index, file, findings, figures);
        watchdog.Stop();
        QueryPerformanceCounter(&fileEnd);
        const double seconds = Seconds(fileStart, fileEnd);
        if (seconds > figures.slowestSeconds) {
            figures.slowestSeconds = seconds;
            figures.slowestIndex = index;
        }
        ++figures.files;
        figures.bytes += file.bytes.size();
        figures.largestFile = std::max<uint64_t>(figures.largestFile, file.bytes.size());
    }
    QueryPerformanceCounter(&end);
    figures.seconds = Seconds(start, end);
    SetUnhandledExceptionFilter(previousFilter);
    return figures;
}

void SettingsFuzzer::CheckFile(uint64_t index, const MadeFile& file, std::vector<Finding>& findings, Figures& figures) {
    auto report = [&](const std::string& what) { findings.push_back({index, what + " [" + file.recipe + " ]"}); };
    // Each file, and each route's copy of it, under a name of its own: the profile service may keep a file
    // it has read in a cache that a rewrite within its clock's resolution would not invalidate.
    const std::string path = folder_ + base::Format("f%llu.ini", static_cast<unsigned long long>(index));
    WriteBytes(path, file.bytes);
    const core::IniFileOverride redirect(path);
    // Settings still holds the previous file's record: a read must give this file's alone.
    const std::string outcome = ReadOutcome();
    const bool reads = outcome.empty();
    if (!reads && outcome != kReadError) report("read ended in " + Shown(outcome));
    if (reads)
        ++figures.reads;
    else
        ++figures.readErrors;
    const Expectation& expected = file.expected;
    if (expected.outcome != Expectation::Outcome::Unknown) {
        ++figures.checkedAgainstMaking;
        if ((expected.outcome == Expectation::Outcome::Reads) != reads)
            report(reads ? "read, where the making said it fails" : "failed, where the making said it reads");
        else if (reads) {
            const std::string difference = RecordDifference(expected.record, core::Settings, expected.known);
            if (!difference.empty()) report("read differs from the making: " + difference);
        }
    }
    DeleteFileA(path.c_str());
    if (!reads) return;
    const core::TSettings firstRead = core::Settings;
    if (servicesEvery_ != 0 && index % servicesEvery_ == 0 && file.bytes.size() <= kLargestForServices) {
        ++figures.comparedWithServices;
        const std::string difference = ServicesDifference(index, file.bytes);
        if (!difference.empty()) report("differs from the profile services: " + difference);
        core::Settings = firstRead;
    }
    for (size_t route = 0; route < routes_.size(); ++route) {
        const std::string copy = folder_ + base::Format("f%llu-%u.ini", static_cast<unsigned long long>(index),
                                                        static_cast<unsigned>(route));
        WriteBytes(copy, file.bytes);
        const core::IniFileOverride toCopy(copy);
        core::Settings = firstRead;
        const std::string failure = FixedPoint(copy, routes_[route]);
        if (!failure.empty()) report(routes_[route].name + ": " + failure);
        ++figures.fixedPoints;
        DeleteFileA(copy.c_str());
    }
}

// The file read and saved (then its change recorded) by the program and, given as the program reads it (a
// legacy line in UTF-8), by the profile services: the same record, the same bytes.
std::string SettingsFuzzer::ServicesDifference(uint64_t index, const std::string& bytes) {
    const std::string ours = folder_ + base::Format("o%llu.ini", static_cast<unsigned long long>(index));
    const std::string theirs = folder_ + base::Format("s%llu.ini", static_cast<unsigned long long>(index));
    base::TIniEncoding encoding;
    const std::wstring text = base::DecodeIniText(bytes, encoding);
    WriteBytes(ours, bytes);
    WriteBytes(theirs, base::EncodeIniText(text, encoding));
    std::string difference = ReadDifference(theirs, base::ReadIniFile(ours));
    const core::TSettings read = core::Settings;
    if (difference.empty()) {
        try {
            const core::IniFileOverride redirect(ours);
            core::WriteIniSettings();
            ServicesSave(theirs);
            difference = FirstDifference(ReadBytes(ours), ReadBytes(theirs));
            if (difference.empty()) {
                core::MarkWallpaperChanged();
                ServicesMark(theirs);
                difference = FirstDifference(ReadBytes(ours), ReadBytes(theirs));
                if (!difference.empty()) difference = "recording a change: " + difference;
            } else {
                difference = "saving: " + difference;
            }
        } catch (const std::exception& error) {
            difference = std::string("the save failed: ") + error.what();
        }
    }
    core::Settings = read;
    DeleteFileA(ours.c_str());
    DeleteFileA(theirs.c_str());
    return difference;
}

std::string SettingsFuzzer::FixedPoint(const std::string& path, const SaveRoute& route) {
    const core::TSettings firstRead = core::Settings;
    try {
        route.save();
        const std::string firstSave = ReadBytes(path);
        const std::string outcome = ReadOutcome();
        if (!outcome.empty()) return "the saved file does not read: " + Shown(outcome);
        if (route.keepsRecord) {
            const std::string difference = RecordDifference(ListCutAtFirstEmptyName(firstRead), core::Settings);
            if (!difference.empty()) return "a save and a read changed the record: " + difference;
        }
        route.save();
        const std::string secondSave = ReadBytes(path);
        if (secondSave != firstSave) {
            const size_t at = static_cast<size_t>(
                std::mismatch(firstSave.begin(), firstSave.end(), secondSave.begin(), secondSave.end()).first -
                firstSave.begin());
            return base::Format("the second save differs from the first at byte %u: ", static_cast<unsigned>(at)) +
                   Shown(firstSave.substr(at > 20 ? at - 20 : 0, 60)) + " then " +
                   Shown(secondSave.substr(at > 20 ? at - 20 : 0, 60));
        }
    } catch (const std::exception& error) {
        return std::string("the save failed: ") + error.what();
    }
    return "";
}

}  // namespace fuzz
