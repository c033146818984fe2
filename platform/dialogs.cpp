// The dialog service on FLTK: a template becomes a window of FLTK widgets laid out from dialog
// units, run modally in a nested event loop that feeds the dialog procedure.
#include "platform/dialogs.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "resources/icon.h"

namespace platform {

namespace {

// The windows carry the menu entry's icon and class, so a taskbar shows them as its own.
// FLTK keeps its options in ~/.fltk, outside the XDG folders: they are read once here with
// HOME pointing nowhere writable, so that file is never made.
void belongToMenuEntry() {
    constexpr int kIconSize = 48;
    static const std::vector<std::uint8_t> pixels = resources::iconRgb(kIconSize);
    static const Fl_RGB_Image icon(pixels.data(), kIconSize, kIconSize, 3);
    Fl_Window::default_icon(&icon);
    Fl_Window::default_xclass(SG2_APP_ID);
    const char* home = std::getenv("HOME");
    const std::string savedHome = home != nullptr ? home : "";
    setenv("HOME", "/dev/null", 1);
    Fl::option(Fl::OPTION_VISIBLE_FOCUS);
    if (home != nullptr) {
        setenv("HOME", savedHome.c_str(), 1);
    } else {
        unsetenv("HOME");
    }
}

// FLTK capitalises the class it sets; the menu entry's id is the exact one.
void classifyWindow(Fl_Window& window) {
    XClassHint hint{};
    std::string id = SG2_APP_ID;
    hint.res_name = id.data();
    hint.res_class = id.data();
    XSetClassHint(fl_display, fl_xid(&window), &hint);
}

// The first dialog or message box connects to the X server; without one, nothing is shown
// (FLTK itself would end the process when it cannot connect).
bool connectDisplay() {
    if (fl_display != nullptr) {
        return true;
    }
    Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr) {
        return false;
    }
    belongToMenuEntry();
    fl_open_display(connection);
    return true;
}

// Pixel size of the template font: 8 points at 96 dots per inch is 11 pixels.
int fontPixels(int points) {
    return (points * 96 + 36) / 72;
}

DialogUnits unitsFor(int fontPoints) {
    DialogUnits units;
    units.baseWidth = (6 * fontPoints + 4) / 8;
    units.baseHeight = (13 * fontPoints + 4) / 8;
    return units;
}

// A group box: an engraved frame with its caption set into the top edge; the inside is not
// painted, so controls placed over it stay visible.
class GroupFrame final : public Fl_Widget {
  public:
    GroupFrame(int x, int y, int w, int h, const char* text) : Fl_Widget(x, y, w, h) {
        copy_label(text);
    }

    void draw() override {
        fl_font(labelfont(), labelsize());
        const int captionHeight = fl_height();
        const int top = y() + captionHeight / 2;
        fl_draw_box(FL_ENGRAVED_FRAME, x(), top, w(), h() - captionHeight / 2, color());
        if (label() != nullptr && label()[0] != '\0') {
            int textWidth = 0;
            int textHeight = 0;
            fl_measure(label(), textWidth, textHeight, 0);
            fl_color(parent() != nullptr ? parent()->color() : FL_BACKGROUND_COLOR);
            fl_rectf(x() + 6, y(), textWidth + 4, captionHeight);
            fl_color(labelcolor());
            fl_draw(label(), x() + 8, y() + fl_height() - fl_descent());
        }
    }
};

class FltkDialog;

// The dialog's window: turns Enter into the default command, or into a press of the focused
// push button, as a dialog's keyboard interface does.
class DialogWindow final : public Fl_Double_Window {
  public:
    DialogWindow(int w, int h, const char* caption, FltkDialog& owner)
        : Fl_Double_Window(w, h, caption), owner_(owner) {}
    int handle(int event) override;

  private:
    FltkDialog& owner_;
};

class FltkDialog final : public Dialog {
  public:
    FltkDialog(const DialogTemplate& dialogTemplate, const DialogProcedure& procedure)
        : procedure_(procedure) {
        const DialogUnits units = unitsFor(dialogTemplate.fontPoints);
        const int fontSize = fontPixels(dialogTemplate.fontPoints);
        const int width = units.toPixelsX(dialogTemplate.width);
        const int height = units.toPixelsY(dialogTemplate.height);
        window_ = std::make_unique<DialogWindow>(width, height, nullptr, *this);
        window_->copy_label(dialogTemplate.caption.c_str());
        for (const DialogControl& control : dialogTemplate.controls) {
            addControl(control, units, fontSize);
        }
        window_->end();
        window_->set_modal();
        // Escape and the window manager's close both reach the window's callback.
        window_->callback(
            [](Fl_Widget*, void* data) { static_cast<FltkDialog*>(data)->command(kCommandCancel); },
            this);
        int screenX = 0;
        int screenY = 0;
        int screenW = 0;
        int screenH = 0;
        Fl::screen_xywh(screenX, screenY, screenW, screenH);
        window_->position(screenX + (screenW - width) / 2, screenY + (screenH - height) / 2);
    }

    int run() {
        procedure_(*this, DialogEvent::Init, 0);
        if (!ended_) {
            window_->show();
            classifyWindow(*window_);
        }
        while (!ended_ && window_->shown()) {
            Fl::wait();
        }
        window_->hide();
        Fl::flush();
        return ended_ ? result_ : -1;
    }

    void command(int id) {
        if (!ended_) {
            procedure_(*this, DialogEvent::Command, id);
        }
    }

    // The id of the push button that has the keyboard focus, if one has.
    int focusedButton() const {
        for (const auto& [id, widget] : buttons_) {
            if (Fl::focus() == widget) {
                return id;
            }
        }
        return kNoControlId;
    }

    void addListItem(int listId, const std::string& text) override {
        if (Fl_Choice* list = choiceFor(listId)) {
            // Menu item texts treat '/', '\\', '&' and '_' specially; items are shown as added.
            std::string escaped;
            for (const char c : text) {
                if (c == '/' || c == '\\' || c == '&' || c == '_') {
                    escaped += '\\';
                }
                escaped += c;
            }
            list->add(escaped.c_str(), 0, nullptr, nullptr, 0);
        }
    }

    void selectListItem(int listId, int position) override {
        if (Fl_Choice* list = choiceFor(listId)) {
            if (position >= 0 && position < list->size() - 1) {
                list->value(position);
            }
        }
    }

    int listSelection(int listId) override {
        Fl_Choice* list = choiceFor(listId);
        return list == nullptr ? -1 : list->value();
    }

    bool isChecked(int checkBoxId) override {
        const auto found = checkBoxes_.find(checkBoxId);
        return found != checkBoxes_.end() && found->second->value() != 0;
    }

    void setChecked(int checkBoxId, bool checked) override {
        const auto found = checkBoxes_.find(checkBoxId);
        if (found != checkBoxes_.end()) {
            found->second->value(checked ? 1 : 0);
        }
    }

    void end(int result) override {
        ended_ = true;
        result_ = result;
        window_->hide();
    }

    int runChild(const DialogTemplate& dialogTemplate, const DialogProcedure& procedure) override {
        return runModal(dialogTemplate, procedure);
    }

  private:
    Fl_Choice* choiceFor(int id) {
        const auto found = lists_.find(id);
        return found == lists_.end() ? nullptr : found->second;
    }

    // A button's or check box's press: its command word is its control id.
    static void pressed(Fl_Widget* widget, void* data) {
        auto* dialog = static_cast<FltkDialog*>(data);
        const auto found = dialog->commandIds_.find(widget);
        if (found != dialog->commandIds_.end()) {
            dialog->command(found->second);
        }
    }

    void addControl(const DialogControl& control, const DialogUnits& units, int fontSize) {
        const int x = units.toPixelsX(control.x);
        const int y = units.toPixelsY(control.y);
        const int w = units.toPixelsX(control.width);
        int h = units.toPixelsY(control.height);
        Fl_Widget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::PushButton:
            case ControlKind::DefaultPushButton: {
                auto* button = new Fl_Button(x, y, w, h);
                button->copy_label(control.text.c_str());
                button->callback(pressed, this);
                commandIds_[button] = control.id;
                if (control.kind == ControlKind::DefaultPushButton) {
                    button->box(FL_THIN_UP_BOX);
                    button->labelfont(FL_HELVETICA_BOLD);
                }
                buttons_[control.id] = button;
                widget = button;
                break;
            }
            case ControlKind::GroupBox:
                widget = new GroupFrame(x, y, w, h, control.text.c_str());
                break;
            case ControlKind::StaticText:
            case ControlKind::CentredText: {
                auto* text = new Fl_Box(x, y, w, h);
                text->copy_label(control.text.c_str());
                text->box(FL_NO_BOX);
                const Fl_Align across =
                    control.kind == ControlKind::CentredText ? FL_ALIGN_CENTER : FL_ALIGN_LEFT;
                text->align(across | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
                widget = text;
                break;
            }
            case ControlKind::DropDownList: {
                // The rectangle's height includes the opened list; closed, the control is one
                // line high.
                h = std::min(h, units.toPixelsY(13));
                auto* list = new Fl_Choice(x, y, w, h);
                list->textsize(fontSize);
                lists_[control.id] = list;
                widget = list;
                break;
            }
            case ControlKind::CheckBox: {
                auto* box = new Fl_Check_Button(x, y, w, h);
                box->copy_label(control.text.c_str());
                box->callback(pressed, this);
                commandIds_[box] = control.id;
                checkBoxes_[control.id] = box;
                widget = box;
                break;
            }
            case ControlKind::Picture: {
                auto* picture = new Fl_Box(x, y, w, h);
                picture->box(FL_DOWN_FRAME);
                picture->align(FL_ALIGN_CENTER | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
                const DialogImage& image = control.image;
                if (image.width > 0 && image.height > 0 &&
                    image.rgb.size() >= static_cast<std::size_t>(image.width) *
                                            static_cast<std::size_t>(image.height) * 3) {
                    images_.push_back(std::make_unique<Fl_RGB_Image>(image.rgb.data(), image.width,
                                                                     image.height, 3));
                    picture->image(images_.back().get());
                }
                widget = picture;
                break;
            }
        }
        if (widget != nullptr) {
            widget->labelsize(fontSize);
        }
    }

    DialogProcedure procedure_;
    // Images outlive the window whose picture controls show them.
    std::vector<std::unique_ptr<Fl_RGB_Image>> images_;
    std::unique_ptr<DialogWindow> window_;
    std::map<const Fl_Widget*, int> commandIds_;
    std::map<int, Fl_Button*> buttons_;
    std::map<int, Fl_Check_Button*> checkBoxes_;
    std::map<int, Fl_Choice*> lists_;
    bool ended_ = false;
    int result_ = -1;
};

int DialogWindow::handle(int event) {
    if (event == FL_SHORTCUT && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
        const int focused = owner_.focusedButton();
        owner_.command(focused != kNoControlId ? focused : kCommandDefault);
        return 1;
    }
    return Fl_Double_Window::handle(event);
}

}  // namespace

int runModal(const DialogTemplate& dialogTemplate, const DialogProcedure& procedure) {
    if (!connectDisplay()) {
        return -1;
    }
    FltkDialog dialog(dialogTemplate, procedure);
    return dialog.run();
}

bool messageBox(const std::string& text, const std::string& caption) {
    if (!connectDisplay()) {
        return false;
    }
    fl_message_title(caption.empty() ? "Error" : caption.c_str());
    fl_alert("%s", text.c_str());
    return true;
}

}  // namespace platform
