#pragma once
// What the options dialog "オプション" shows and saves: the seven graph overlay
// switches, the reference-line share as a slider of 0..100, and the reading
// site. The dialog only displays this model; every decision is made here.
//
// The model is made fresh from the settings each time the dialog opens and
// changes nothing until save(); dropping it is the cancel button.

#include "app/common.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

#include <QString>
#include <QStringList>

#include <array>

namespace marunoki {

class OptionsModel {
public:
    static constexpr int kSliderMaximum = 100;

    // Check box i is ticked when iniGraph(i) is exactly "true"; the slider is
    // kakeritu x 100 taken to the nearest whole number (halves to even); the
    // site text is the current site.
    explicit OptionsModel(const Settings &settings);

    // The check box labels, in index order ("馬体重" ... "上がり指数").
    static const std::array<QString, kGraphOverlayCount> &overlayLabels();
    // The site box's items: "サイト1", "サイト2".
    static QStringList siteItems();

    bool overlay(int index) const;
    void setOverlay(int index, bool on);

    int slider() const { return slider_; }
    // Moves the slider (clamped to 0..100); the status then tells the change.
    void setSlider(int value);
    // "上位30%ライン表示中" until the slider moves, then "上位35%ラインに変更".
    const QString &statusText() const { return status_; }

    const QString &site() const { return site_; }
    // Any typed text is kept as it is.
    void setSite(const QString &site) { site_ = site; }

    // The OK button: sets settings.iniGraph to "true"/"false", settings.kakeritu
    // to slider / 100 and settings.site, then writes "iniGraph(0)".."iniGraph(6)"
    // and "kakeritu" to section "graph" and "site" to section "site" of the
    // settings file. The settings in memory change even when writing fails; the
    // writing stops at the first failure, which is returned.
    Status save(const AppFolder &folder, Settings &settings) const;

private:
    std::array<bool, kGraphOverlayCount> overlays_ {};
    int slider_ = 0;
    QString status_;
    QString site_;
};

}  // namespace marunoki
