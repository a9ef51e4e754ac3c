#pragma once

#include "platform/instance/Instance.h"
#include "toolkit/Component.h"

// What the start-up learnt about other copies: a plain record, one per
// process, alive from Just1_32::Initialize() to Just1_32::Finalize().
struct TPreviousInstance {
    // The named mutex this copy holds; 0 when it holds none.
    platform::HANDLE MutexHandle = 0;
    // Another process had claimed the name first.
    bool AlreadyRunning = false;
};

extern TPreviousInstance* PreviousInstance;

// The single-instance guard. C++ has no unit initialisation, so the program
// entry calls these itself, in this order:
//   1. create the Qt application, the application object (with the
//      file-name title) and register its window (RegisterApplicationWindow);
//   2. Just1_32::Initialize(), after every other unit set-up, before the
//      title is set and before any form exists;
//   3. set the title, create the main form: its TJustOne32 comes last;
//      name it as the form other copies' requests act on
//      (platform::Instance().SetMainForm);
//   4. run the message loop;
//   5. Just1_32::Finalize(), before the other units are torn down.
// Just1_32::Unit does 2 and 5 as a scope.
namespace Just1_32 {

// Claims the mutex named by the application title as it stands now. A
// second call while PreviousInstance exists does nothing: one claim a process.
void Initialize();
// Closes the mutex handle, if any, and frees PreviousInstance.
void Finalize();
// What a second copy does to the window it finds: restores it when it is
// minimised, else brings it to the top. No window (0): nothing.
void BringForward(platform::WindowId window);
// What a second copy does with the files named on its command line: hands
// them to the copy that runs first, which opens them. None: nothing.
void HandOver(const QList<QByteArray>& nativePaths);

class Unit {
  public:
    Unit() { Initialize(); }
    ~Unit() { Finalize(); }
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;
};

}  // namespace Just1_32

// Placed on the main window last. When another copy was running first, its
// construction brings that copy's window forward and asks this process to
// quit; nothing is shown to the user either way.
class TJustOne32 : public TComponent {
  public:
    explicit TJustOne32(TComponent* AOwner);
};
