// Working the applet's windows from a second thread with window messages, as
// a user's clicks and keys would, with a time limit on every wait.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace tonalis::e2e {

// A wait that ran out or a window that did not answer; ends the script.
struct DriverError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr DWORD kDefaultWaitMs = 8000;

// Polls find every 10 ms until it gives a window; throws after ms.
HWND WaitFor(const std::function<HWND()>& find, const std::string& what, DWORD ms = kDefaultWaitMs);
// Polls until the condition holds; throws after ms.
void WaitUntil(const std::function<bool()>& condition, const std::string& what,
               DWORD ms = kDefaultWaitMs);

// Visible top-level windows of this process, in Z order.
std::vector<HWND> ProcessWindows();
bool IsPropertySheet(HWND window);
bool IsMessageBox(HWND window);
bool IsFileDialog(HWND window);
// A visible dialog of this process (not a sheet, message box or file dialog)
// that has a control with the id.
HWND FindDialogWith(int controlId);

// Sent and waited for; throws when the window does not answer in time.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Returns when the window's thread has taken every message posted to it so
// far: what they do is done, or the modal window one of them opened runs.
// Every action below that posts settles before it returns.
void Settle(HWND window);

HWND Control(HWND dialog, int id);
// A click on a button, posted: the button may open a modal dialog.
void Click(HWND dialog, int id);
// A list selection as the user makes it: the selection, then its notification.
void Choose(HWND dialog, int comboId, int index);
// A slider moved to a position: the thumb, then the scroll notification.
void Slide(HWND dialog, int sliderId, int position);
// The whole text replaced, as a paste over a selection of everything.
void Type(HWND dialog, int editId, const std::string& text);
// The whole text selected, then typed over: one WM_CHAR per UTF-16 unit, as
// the keyboard and an input method deliver them.
void TypeCharacters(HWND dialog, int editId, const std::wstring& text);
// A key pressed and released on a window, through its thread's message queue.
void PressKey(HWND window, UINT key);

std::string Text(HWND window);
std::string Text(HWND dialog, int id);
std::string SelectedText(HWND dialog, int comboId);
bool IsShown(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);

// The wizard's frame and its current page.
class Wizard {
  public:
    explicit Wizard(HWND frame) : frame_(frame) {}
    static Wizard WaitForIt(DWORD ms = kDefaultWaitMs);

    HWND frame() const { return frame_; }
    HWND Page() const;
    // Template id of the current page.
    int PageId() const;
    HWND WaitForPage(int templateId, DWORD ms = kDefaultWaitMs) const;
    void Next() const { Press(PSBTN_NEXT); }
    // Each page in turn waited for, then left with Next.
    void NextThrough(std::initializer_list<int> templateIds) const;
    void Back() const { Press(PSBTN_BACK); }
    void Finish() const { Press(PSBTN_FINISH); }
    void Cancel() const { Press(PSBTN_CANCEL); }
    // Posted, as Finish may open the save dialog.
    void Press(int button) const;
    bool IsOpen() const { return IsWindow(frame_) && IsWindowVisible(frame_); }

  private:
    HWND frame_;
};

HWND WaitForFileDialog();
// The save dialog: the name typed into its file name field, then Save.
void SaveAs(const std::string& windowsPath);
void CancelFileDialog();

}  // namespace tonalis::e2e
