#include "fakes/RecordingDesktop.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace fakes {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], units);
    return text;
}

std::string Hex(HRESULT value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08lx", static_cast<unsigned long>(value));
    return text;
}

using Fields = std::map<std::string, std::string>;

Fields SplitFields(const std::string& line) {
    Fields fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) {
        const size_t equals = field.find('=');
        if (equals != std::string::npos) fields[field.substr(0, equals)] = field.substr(equals + 1);
    }
    return fields;
}

long Number(const Fields& fields, const char* name) {
    const auto found = fields.find(name);
    return found == fields.end() ? 0 : std::strtol(found->second.c_str(), nullptr, 10);
}

HRESULT HexNumber(const Fields& fields, const char* name) {
    const auto found = fields.find(name);
    return found == fields.end() ? S_OK : static_cast<HRESULT>(std::strtoul(found->second.c_str(), nullptr, 16));
}

std::string Text(const Fields& fields, const char* name) {
    const auto found = fields.find(name);
    return found == fields.end() ? std::string() : found->second;
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

std::vector<DesktopCall> DesktopJournal::CallsOf(const std::string& method) const {
    std::vector<DesktopCall> calls;
    for (const DesktopCall& call : Calls) {
        if (call.Method == method) calls.push_back(call);
    }
    return calls;
}

std::vector<std::string> DesktopJournal::Sequence() const {
    std::vector<std::string> sequence;
    for (const DesktopCall& call : Calls) sequence.push_back(std::to_string(call.Object) + ":" + call.Method);
    return sequence;
}

std::string JournalText(const DesktopJournal& journal) {
    std::ostringstream out;
    const DesktopState& state = journal.State;
    out << "state\tActiveDesktop=" << state.ActiveDesktop << "\tEnableComponents=" << state.EnableComponents
        << "\tStyle=" << state.Style << "\tNotImplemented=" << state.NotImplemented
        << "\tRefuseInterface=" << state.RefuseInterface << "\tFailFromCreation=" << state.FailFromCreation
        << "\tCreateFailure=" << Hex(state.CreateFailure) << "\tCreated=" << journal.Created
        << "\tAlive=" << journal.Alive << "\tWallpaper=" << Utf8(state.Wallpaper) << "\n";
    for (const DesktopCall& call : journal.Calls) {
        out << "call\tObject=" << call.Object << "\tMethod=" << call.Method << "\tArgument=" << call.Argument
            << "\tAnswer=" << Hex(call.Answer) << "\tComponents=" << call.Components.dwSize << ","
            << call.Components.fEnableComponents << "," << call.Components.fActiveDesktop
            << "\tOptions=" << call.Options.dwSize << "," << call.Options.dwStyle << "\tTerminated=" << call.Terminated
            << "\tText=" << Utf8(call.Text) << "\n";
    }
    return out.str();
}

DesktopJournal ParseJournal(const std::string& text) {
    DesktopJournal journal;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const Fields fields = SplitFields(line);
        if (line.rfind("state\t", 0) == 0) {
            DesktopState& state = journal.State;
            state.ActiveDesktop = static_cast<BOOL>(Number(fields, "ActiveDesktop"));
            state.EnableComponents = static_cast<BOOL>(Number(fields, "EnableComponents"));
            state.Style = static_cast<DWORD>(Number(fields, "Style"));
            state.NotImplemented = Number(fields, "NotImplemented") != 0;
            state.RefuseInterface = Number(fields, "RefuseInterface") != 0;
            state.FailFromCreation = static_cast<int>(Number(fields, "FailFromCreation"));
            state.CreateFailure = HexNumber(fields, "CreateFailure");
            state.Wallpaper = Wide(Text(fields, "Wallpaper"));
            journal.Created = static_cast<int>(Number(fields, "Created"));
            journal.Alive = static_cast<int>(Number(fields, "Alive"));
        } else if (line.rfind("call\t", 0) == 0) {
            DesktopCall call;
            call.Object = static_cast<int>(Number(fields, "Object"));
            call.Method = Text(fields, "Method");
            call.Argument = static_cast<DWORD>(std::strtoul(Text(fields, "Argument").c_str(), nullptr, 10));
            call.Answer = HexNumber(fields, "Answer");
            long size = 0, enable = 0, active = 0;
            std::sscanf(Text(fields, "Components").c_str(), "%ld,%ld,%ld", &size, &enable, &active);
            call.Components = {static_cast<DWORD>(size), static_cast<BOOL>(enable), static_cast<BOOL>(active)};
            unsigned long optionsSize = 0, style = 0;
            std::sscanf(Text(fields, "Options").c_str(), "%lu,%lu", &optionsSize, &style);
            call.Options = {static_cast<DWORD>(optionsSize), static_cast<DWORD>(style)};
            call.Terminated = Number(fields, "Terminated") != 0;
            call.Text = Wide(Text(fields, "Text"));
            journal.Calls.push_back(std::move(call));
        }
    }
    return journal;
}

void SaveJournal(const std::string& path, const DesktopJournal& journal) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << JournalText(journal);
}

DesktopJournal LoadJournal(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return ParseJournal(text.str());
}

DesktopJournal& FileStore::Open() {
    journal_ = LoadJournal(path_);
    return journal_;
}

void FileStore::Commit() {
    SaveJournal(path_, journal_);
}

}  // namespace fakes
