#pragma once
// The about dialog (menu "バージョン情報"): the program's title and version and
// a button that starts the system's system-information tool
// (maintenance/about_info.h). Modal: open it with exec().

#include <QDialog>

namespace marunoki {
class MessageSink;
}

namespace marunoki::gui {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // version: the program version ("1.3.2"); messages must outlive the dialog.
    AboutDialog(const QString &version, MessageSink &messages, QWidget *parent = nullptr);

private:
    MessageSink &messages_;
};

}  // namespace marunoki::gui
