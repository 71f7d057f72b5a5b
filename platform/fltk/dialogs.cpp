// Message boxes and file requesters of the FLTK backend.
// The boxes take the keyboard for themselves while open (an X grab), so Return, Escape, Y and
// N answer them wherever the pointer is: without a window manager focus follows the pointer.
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cstdio>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/fltk/fltk_state.h"

namespace plat::fltk {

namespace {

constexpr int kNoAnswer = -1;
constexpr int kAnswerNo = 0;
constexpr int kAnswerYes = 1;

// A modal box: the text and one (OK) or two (Yes, No) buttons; keys answer it too.
class AnswerBox : public Fl_Window {
public:
    AnswerBox(int width, int height, bool yesNo)
        : Fl_Window(width, height), yesNo(yesNo) {}
    bool yesNo;
    int answer = kNoAnswer;

    int handle(int event) override {
        if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
            const int key = Fl::event_key();
            if (yesNo && key == 'y') return Answer(kAnswerYes);
            if (yesNo && (key == 'n' || key == FL_Escape)) return Answer(kAnswerNo);
            if (!yesNo && (key == FL_Enter || key == FL_KP_Enter || key == FL_Escape)) {
                return Answer(kAnswerYes);
            }
        }
        return Fl_Window::handle(event);
    }
    int Answer(int value) {
        answer = value;
        return 1;
    }
};

void OnAnswerButton(Fl_Widget* button, void* value) {
    auto* box = static_cast<AnswerBox*>(button->window());
    box->answer = static_cast<int>(reinterpret_cast<intptr_t>(value));
}

// Shows the box centred on the desktop and waits for its answer; kNoAnswer when no display.
int RunAnswerBox(const std::string& title, const std::string& text, bool yesNo) {
    if (!fltk::OpenDisplay()) return kNoAnswer;
    fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
    int textWidth = 0, textHeight = 0;
    fl_measure(text.c_str(), textWidth, textHeight, 0);
    const int width = std::max(300, textWidth + 40);
    const int height = textHeight + 90;
    Fl_Group* current = Fl_Group::current();
    auto* box = new AnswerBox(width, height, yesNo);
    box->copy_label(title.c_str());
    auto* message = new Fl_Box(20, 15, width - 40, textHeight + 10);
    message->copy_label(text.c_str());
    message->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_TOP);
    if (yesNo) {
        auto* yes = new Fl_Return_Button(width / 2 - 110, height - 45, 100, 30, "Yes");
        yes->callback(OnAnswerButton, reinterpret_cast<void*>(static_cast<intptr_t>(kAnswerYes)));
        auto* no = new Fl_Button(width / 2 + 10, height - 45, 100, 30, "No");
        no->callback(OnAnswerButton, reinterpret_cast<void*>(static_cast<intptr_t>(kAnswerNo)));
    } else {
        auto* ok = new Fl_Return_Button(width / 2 - 50, height - 45, 100, 30, "OK");
        ok->callback(OnAnswerButton, reinterpret_cast<void*>(static_cast<intptr_t>(kAnswerYes)));
    }
    box->end();
    Fl_Group::current(current);
    box->position((Fl::w() - width) / 2, (Fl::h() - height) / 2);
    box->set_modal();
    // Closing the box by its close box counts as No (or as OK).
    box->callback([](Fl_Widget* w, void*) { static_cast<AnswerBox*>(w)->answer = kAnswerNo; });
    ShowAndWait(box);
    Fl::grab(box);
    while (box->answer == kNoAnswer && box->shown()) Fl::wait();
    Fl::grab(nullptr);
    const int answer = box->answer;
    box->hide();
    delete box;
    Fl::flush();
    return answer;
}

std::string RunChooser(const std::string& title, const std::string& startPath,
                       const std::string& pattern, int type) {
    if (!fltk::OpenDisplay()) return "";
    const std::string directory = startPath.empty() ? CurrentDirectory() : startPath;
    Fl_File_Chooser chooser(directory.c_str(), pattern.c_str(), type, title.c_str());
    chooser.preview(0);
    if (!startPath.empty() && FileExists(startPath)) chooser.value(startPath.c_str());
    chooser.show();
    while (chooser.shown()) Fl::wait();
    const char* chosen = chooser.count() > 0 ? chooser.value() : nullptr;
    Fl::flush();
    return chosen != nullptr ? std::string(chosen) : std::string();
}

}  // namespace

}  // namespace plat::fltk

namespace plat {

void MessageBox(const std::string& title, const std::string& text) {
    if (fltk::RunAnswerBox(title, text, false) == fltk::kNoAnswer) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
}

bool AskYesNo(const std::string& title, const std::string& text) {
    const int answer = fltk::RunAnswerBox(title, text, true);
    if (answer == fltk::kNoAnswer) {
        // Nobody can answer: say so and take the cautious answer.
        std::fprintf(stderr, "%s: %s (no)\n", title.c_str(), text.c_str());
        return false;
    }
    return answer == fltk::kAnswerYes;
}

std::string RequestOpenFile(const std::string& title, const std::string& startPath,
                            const std::string& pattern) {
    return fltk::RunChooser(title, startPath, pattern, Fl_File_Chooser::SINGLE);
}

std::string RequestSaveFile(const std::string& title, const std::string& startPath,
                            const std::string& pattern) {
    return fltk::RunChooser(title, startPath, pattern, Fl_File_Chooser::CREATE);
}

std::string RequestFolder(const std::string& title, const std::string& startPath) {
    return fltk::RunChooser(title, startPath, "*", Fl_File_Chooser::DIRECTORY | Fl_File_Chooser::CREATE);
}

}  // namespace plat
