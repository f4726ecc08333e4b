// A recording stand-in for the shell's Active Desktop object (CLSID_ActiveDesktop), for tests.
//
// Its objects answer IUnknown and IActiveDesktop, record every call with its arguments (the option records as
// handed in, the wallpaper buffer's text) and keep the state the program reads back: fActiveDesktop,
// fEnableComponents, the wallpaper and its style. It can also be told to behave like a platform without a
// working Active Desktop (every method answers E_NOTIMPL, as Wine's own object does), to refuse
// IActiveDesktop, or to fail the creation of objects. It is used two ways:
//
// - In-process, for unit tests: an InProcessDesktop registers its class factory with CoRegisterClassObject for
//   its lifetime, so CoCreateInstance(CLSID_ActiveDesktop) on that thread makes recording objects, and the
//   test reads the journal directly.
//
// - As the in-process server RecordingDesktop.dll, which tools/install-test-desktop.sh registers for
//   CLSID_ActiveDesktop in the test Wine prefix, so that the unmodified program talks to it. The DLL keeps its
//   journal in the file named by the environment variable TAMBERLYN_TEST_DESKTOP (a Windows path, inherited by
//   the program from the test that starts it, and read once per process): it reads the file before every event
//   and writes it back after, so the state carries from one run of the program to the next. The test writes the
//   starting state with SaveJournal and reads what happened with LoadJournal once the program has ended.
//   Without the variable the DLL's journal lives in memory only. A missing file is an empty journal with the
//   default state.
//
// The file is text, one record per line, tab-separated name=value fields after the record's kind:
//   state  ActiveDesktop= EnableComponents= Style= NotImplemented= RefuseInterface= FailFromCreation=
//          CreateFailure=(hex) Created= Alive= Wallpaper=(UTF-8)
//   call   Object= Method= Argument= Answer=(hex) Components=dwSize,fEnableComponents,fActiveDesktop
//          Options=dwSize,dwStyle Terminated= Text=(UTF-8)
#pragma once

#include <windows.h>
#include <wininet.h>

// MinGW's shlobj.h declares IActiveDesktop and its option records only when wininet.h came first.
#include <shlobj.h>

#include <string>
#include <vector>

namespace fakes {

// What the desktop holds, and how the stand-in behaves.
struct DesktopState {
    BOOL ActiveDesktop = FALSE;
    BOOL EnableComponents = FALSE;
    std::wstring Wallpaper;
    DWORD Style = 0;  // a WALLPAPEROPT dwStyle

    // Every method answers E_NOTIMPL and changes nothing.
    bool NotImplemented = false;
    // QueryInterface refuses IActiveDesktop (IUnknown is still given).
    bool RefuseInterface = false;
    // When non-zero, the creation of that object (counted from 1 over the journal's life) and every later
    // one fails with CreateFailure.
    int FailFromCreation = 0;
    HRESULT CreateFailure = E_OUTOFMEMORY;
};

// One call of a desktop method, or a refused creation (Method "CreateInstance", Object 0).
struct DesktopCall {
    int Object = 0;  // the creation number of the object that was called
    std::string Method;
    DWORD Argument = 0;  // ApplyChanges' flags; the reserved argument of the other methods
    HRESULT Answer = S_OK;
    COMPONENTSOPT Components{};  // Get/SetDesktopItemOptions: the record as handed in
    WALLPAPEROPT Options{};      // SetWallpaperOptions: the record as handed in
    // SetWallpaper: the text up to its terminator, and whether a zero unit came within MAX_PATH units.
    std::wstring Text;
    bool Terminated = false;
};

struct DesktopJournal {
    DesktopState State;
    std::vector<DesktopCall> Calls;
    int Created = 0;  // objects made so far
    int Alive = 0;    // objects not released yet

    std::vector<DesktopCall> CallsOf(const std::string& method) const;
    // The methods called, in order, as "Object:Method" (e.g. "1:SetWallpaper").
    std::vector<std::string> Sequence() const;
};

std::string JournalText(const DesktopJournal& journal);
DesktopJournal ParseJournal(const std::string& text);
void SaveJournal(const std::string& path, const DesktopJournal& journal);
DesktopJournal LoadJournal(const std::string& path);

std::string Utf8(const std::wstring& text);

// Where the recording objects keep their journal: Open gives it as it is now, Commit keeps a change.
class JournalStore {
public:
    virtual ~JournalStore() = default;
    virtual DesktopJournal& Open() = 0;
    virtual void Commit() = 0;
};

class MemoryStore : public JournalStore {
public:
    DesktopJournal& Open() override { return journal_; }
    void Commit() override {}

private:
    DesktopJournal journal_;
};

class FileStore : public JournalStore {
public:
    explicit FileStore(std::string path) : path_(std::move(path)) {}
    DesktopJournal& Open() override;
    void Commit() override;

private:
    std::string path_;
    DesktopJournal journal_;
};

// A class factory of recording objects over the store, which must outlive it; returned with one reference.
IClassFactory* NewRecordingFactory(JournalStore& store);

// Objects alive or server locks held in this process, for DllCanUnloadNow.
bool RecordingObjectsInUse();

// Registers recording objects as CLSID_ActiveDesktop for the calling thread while it lives. COM must be
// initialised on the thread.
class InProcessDesktop {
public:
    InProcessDesktop();
    ~InProcessDesktop();
    InProcessDesktop(const InProcessDesktop&) = delete;
    InProcessDesktop& operator=(const InProcessDesktop&) = delete;

    DesktopJournal& Journal() { return store_.Open(); }

private:
    MemoryStore store_;
    IClassFactory* factory_;
    DWORD cookie_ = 0;
};

}  // namespace fakes
