#include "gui/options_dialog.h"

#include "app/message_sink.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace marunoki::gui {

OptionsDialog::OptionsDialog(
    const AppFolder &folder, Settings &settings, MessageSink &messages, QWidget *parent)
    : QDialog(parent)
    , folder_(folder)
    , settings_(settings)
    , messages_(messages)
    , model_(settings)
{
    setWindowTitle(QStringLiteral("オプション"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("グラフ表示設定")));
    const auto &labels = OptionsModel::overlayLabels();
    for (int i = 0; i < kGraphOverlayCount; ++i) {
        auto *box = new QCheckBox(labels[static_cast<size_t>(i)]);
        box->setChecked(model_.overlay(i));
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) { model_.setOverlay(i, on); });
        overlays_[static_cast<size_t>(i)] = box;
        layout->addWidget(box);
    }

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("連対基準線")), 0, 0);
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setRange(0, OptionsModel::kSliderMaximum);
    slider_->setSingleStep(1);
    slider_->setPageStep(5);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(10);
    slider_->setValue(model_.slider());
    grid->addWidget(slider_, 0, 1);
    status_ = new QLabel(model_.statusText());
    grid->addWidget(status_, 0, 2);
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        model_.setSlider(value);
        status_->setText(model_.statusText());
    });

    grid->addWidget(new QLabel(QStringLiteral("読込みサイト")), 1, 0);
    site_ = new QComboBox;
    site_->setEditable(true);
    site_->addItems(OptionsModel::siteItems());
    site_->setEditText(model_.site());
    grid->addWidget(site_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("通常は「サイト1」のまま使用してください")), 1, 2);
    layout->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("OK"));
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &OptionsDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void OptionsDialog::save()
{
    // The site box's text is taken as typed, also when it is none of the items.
    model_.setSite(site_->currentText());
    const Status written = model_.save(folder_, settings_);
    if (!written.ok())
        messages_.message(written.message());
    Q_EMIT settingsSaved();
    accept();
}

}  // namespace marunoki::gui
