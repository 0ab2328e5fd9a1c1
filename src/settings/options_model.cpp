#include "settings/options_model.h"

#include "app/format.h"

#include <algorithm>

namespace marunoki {

namespace {

// The share as a percentage of at least two digits: 0.3 -> "30%", 0.05 -> "05%".
QString percentText(double share)
{
    return formatNumber(share, QStringLiteral("00%"));
}

}  // namespace

OptionsModel::OptionsModel(const Settings &settings)
    : site_(readingSiteText(settings.site, settings.otherSite))
{
    for (int i = 0; i < kGraphOverlayCount; ++i)
        overlays_[static_cast<size_t>(i)] = overlayOn(settings.iniGraph, static_cast<Overlay>(i));
    // The product is taken in single precision, as the share is held: 0.35 in
    // single precision is a little below 0.35, but times 100 it is exactly 35.
    const double percent = roundHalfEven(settings.kakeritu * 100.0f);
    slider_ = percent >= 0 ? static_cast<int>(std::min(percent, double(kSliderMaximum))) : 0;
    status_ = QStringLiteral("上位") + percentText(settings.kakeritu) + QStringLiteral("ライン表示中");
}

const std::array<QString, kGraphOverlayCount> &OptionsModel::overlayLabels()
{
    static const std::array<QString, kGraphOverlayCount> labels {QStringLiteral("馬体重"),
        QStringLiteral("枠番"), QStringLiteral("距離"), QStringLiteral("馬場"),
        QStringLiteral("1コーナー通過順"), QStringLiteral("着順"), QStringLiteral("上がり指数")};
    return labels;
}

QStringList OptionsModel::siteItems()
{
    return {kSite1, kSite2};
}

bool OptionsModel::overlay(int index) const
{
    return index >= 0 && index < kGraphOverlayCount && overlays_[static_cast<size_t>(index)];
}

void OptionsModel::setOverlay(int index, bool on)
{
    if (index >= 0 && index < kGraphOverlayCount)
        overlays_[static_cast<size_t>(index)] = on;
}

void OptionsModel::setSlider(int value)
{
    slider_ = std::clamp(value, 0, kSliderMaximum);
    status_ = QStringLiteral("上位") + percentText(slider_ / 100.0) + QStringLiteral("ラインに変更");
}

Status OptionsModel::save(const AppFolder &folder, Settings &settings) const
{
    for (int i = 0; i < kGraphOverlayCount; ++i)
        settings.iniGraph[static_cast<size_t>(i)]
            = overlays_[static_cast<size_t>(i)] ? QStringLiteral("true") : QStringLiteral("false");
    settings.kakeritu = static_cast<float>(slider_ / 100.0);
    settings.site = readingSiteOf(site_);
    settings.otherSite = settings.site == ReadingSite::None ? site_ : QString();

    for (int i = 0; i < kGraphOverlayCount; ++i) {
        Status written = writeGraphOverlay(folder, i, settings.iniGraph[static_cast<size_t>(i)]);
        if (!written.ok())
            return written;
    }
    Status written = writeKakeritu(folder, settings.kakeritu);
    if (!written.ok())
        return written;
    return writeSite(folder, site_);
}

}  // namespace marunoki
