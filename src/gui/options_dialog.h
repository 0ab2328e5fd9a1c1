#pragma once
// The options dialog "オプション" (menu "オプション設定"): the graph overlays, the
// reference-line share "連対基準線" and the reading site. It shows and edits an
// OptionsModel (settings/options_model.h), which decides everything; OK saves
// into the main window's Settings and the settings file, "ｷｬﾝｾﾙ" and the close
// box change nothing. Modeless; deletes itself when closed. The dialog redraws
// nothing itself: the overlays apply from the next graph; the main window moves
// the reference line to a new share at once (settingsSaved).

#include "app/common.h"
#include "settings/options_model.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace marunoki {
class MessageSink;
struct Settings;
}  // namespace marunoki

namespace marunoki::gui {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // settings and messages are the main window's and must outlive the dialog.
    OptionsDialog(
        const AppFolder &folder, Settings &settings, MessageSink &messages, QWidget *parent = nullptr);

Q_SIGNALS:
    // After OK has put the choices into the Settings (also when writing the
    // file failed, which has been reported).
    void settingsSaved();

private:
    void save();

    AppFolder folder_;
    Settings &settings_;
    MessageSink &messages_;
    OptionsModel model_;

    std::array<QCheckBox *, kGraphOverlayCount> overlays_ {};
    QSlider *slider_ = nullptr;
    QLabel *status_ = nullptr;
    QComboBox *site_ = nullptr;
};

}  // namespace marunoki::gui
