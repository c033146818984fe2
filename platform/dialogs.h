#pragma once
// A small dialog service in place of the system's dialog templates and modal dialogs: a
// template lists the controls with their ids, kinds, texts and rectangles in dialog units; a
// modal run calls the dialog's procedure with the init event and with one command event per
// button press (or Enter, Escape, closing the window), until the procedure ends the dialog.
// The host's launcher and about box are built on it; the procedures only see the Dialog
// interface, so tests can drive them without a display.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace platform {

enum class ControlKind {
    PushButton,
    DefaultPushButton,  // pressed by Enter when no other push button has the focus
    GroupBox,
    StaticText,  // left-aligned
    CentredText,
    DropDownList,  // a closed list showing its selected item, items in the order added
    CheckBox,
    Picture,  // sunken, bordered, the image centred
};

// A 24-bit picture: rows of width * 3 bytes red, green, blue, top row first.
struct DialogImage {
    int width = 0;
    int height = 0;
    std::span<const std::uint8_t> rgb;
};

inline constexpr int kNoControlId = -1;

struct DialogControl {
    int id = kNoControlId;
    ControlKind kind = ControlKind::StaticText;
    std::string text;
    int x = 0;  // dialog units
    int y = 0;
    int width = 0;
    int height = 0;
    DialogImage image;  // Picture only
};

struct DialogTemplate {
    std::string caption;
    int width = 0;  // dialog units; the dialog is centred on the screen
    int height = 0;
    int fontPoints = 8;
    std::vector<DialogControl> controls;  // template order is the tab order
};

// The command words a dialog receives besides its buttons' ids.
inline constexpr int kCommandDefault = 1;  // Enter
inline constexpr int kCommandCancel = 2;   // Escape, or the window closed

class Dialog;
enum class DialogEvent { Init, Command };
// Returns true when it handled the event. `command` is the control id for Command events.
using DialogProcedure = std::function<bool(Dialog& dialog, DialogEvent event, int command)>;

// What a dialog procedure may do with its open dialog.
class Dialog {
  public:
    virtual ~Dialog() = default;
    virtual void addListItem(int listId, const std::string& text) = 0;
    virtual void selectListItem(int listId, int position) = 0;
    // The selected position, or -1 when nothing is selected.
    virtual int listSelection(int listId) = 0;
    virtual bool isChecked(int checkBoxId) = 0;
    virtual void setChecked(int checkBoxId, bool checked) = 0;
    // Ends the modal run; runModal returns `result`.
    virtual void end(int result) = 0;
    // Runs another dialog modally, owned by this one; returns its result.
    virtual int runChild(const DialogTemplate& dialogTemplate,
                         const DialogProcedure& procedure) = 0;
};

// Runs the dialog modally; returns the result passed to end(), or -1 when the dialog could not
// be shown (no display).
int runModal(const DialogTemplate& dialogTemplate, const DialogProcedure& procedure);

// Pixels for a span of dialog units at the template's font: four units per average character
// width across, eight per character height down.
struct DialogUnits {
    int baseWidth = 6;    // average character width in pixels of the 8-point font
    int baseHeight = 13;  // character height in pixels
    int toPixelsX(int units) const { return (units * baseWidth + 2) / 4; }
    int toPixelsY(int units) const { return (units * baseHeight + 4) / 8; }
};

// A message box with one OK button; an empty caption gives the default one. False when no
// display could show it.
bool messageBox(const std::string& text, const std::string& caption);

}  // namespace platform
