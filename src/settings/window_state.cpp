#include "settings/window_state.h"

#include "app/atomic_file.h"
#include "settings/ini_file.h"

#include <array>

namespace marunoki {

namespace {

const QString kSection = QStringLiteral("MarunokiWindow");
// Larger than any screen arrangement; a value beyond it is a damaged file.
constexpr int kMaxCoordinate = 100000;

QString settingsPath(const AppFolder &folder)
{
    return folder.file(QStringLiteral("marunoki.ini"));
}

std::optional<int> numberIn(const IniFile &ini, const QString &key, int low, int high)
{
    const std::optional<QString> text = ini.value(kSection, key);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// The texts the window keeps, by key.
std::array<std::pair<QString, QString WindowState::*>, 6> textKeys()
{
    return {{{QStringLiteral("year"), &WindowState::year}, {QStringLiteral("course"), &WindowState::course},
        {QStringLiteral("meeting"), &WindowState::meeting}, {QStringLiteral("day"), &WindowState::day},
        {QStringLiteral("race"), &WindowState::race}, {QStringLiteral("view"), &WindowState::view}}};
}

}  // namespace

std::optional<QRect> placeOnScreens(
    const QRect &remembered, const QMargins &frame, const QList<QRect> &screens, const QSize &minimum)
{
    // Screens are compared with the whole frame: that is what the user saw.
    const QRect outer = remembered.marginsAdded(frame);
    const QRect *best = nullptr;
    qint64 bestArea = 0;
    for (const QRect &screen : screens) {
        const QRect common = screen.intersected(outer);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {  // a screen it misses has an area of 0
            best = &screen;
            bestArea = area;
        }
    }
    if (best == nullptr)
        return std::nullopt;
    // The room for the inside once the frame has its place.
    const QRect room = best->marginsRemoved(frame);
    if (room.isEmpty())
        return std::nullopt;
    const QSize size = remembered.size().expandedTo(minimum).boundedTo(room.size());
    QRect placed(remembered.topLeft(), size);
    if (placed.right() > room.right())
        placed.moveRight(room.right());
    if (placed.bottom() > room.bottom())
        placed.moveBottom(room.bottom());
    if (placed.left() < room.left())
        placed.moveLeft(room.left());
    if (placed.top() < room.top())
        placed.moveTop(room.top());
    return placed;
}

WindowState readWindowState(const AppFolder &folder)
{
    WindowState state;
    const IniFile ini = IniFile::read(settingsPath(folder));
    if (ini.state() != IniFile::State::Read)
        return state;
    const auto left = numberIn(ini, QStringLiteral("left"), -kMaxCoordinate, kMaxCoordinate);
    const auto top = numberIn(ini, QStringLiteral("top"), -kMaxCoordinate, kMaxCoordinate);
    const auto width = numberIn(ini, QStringLiteral("width"), 1, kMaxCoordinate);
    const auto height = numberIn(ini, QStringLiteral("height"), 1, kMaxCoordinate);
    if (left && top && width && height)
        state.geometry = QRect(*left, *top, *width, *height);
    state.maximized = numberIn(ini, QStringLiteral("maximized"), 0, 1).value_or(0) == 1;
    state.gridHeight = numberIn(ini, QStringLiteral("gridHeight"), 1, kMaxCoordinate);
    for (const auto &[key, field] : textKeys())
        state.*field = ini.value(kSection, key).value_or(QString());
    if (state.view != QStringLiteral("graph") && state.view != QStringLiteral("bacyu")
        && state.view != QStringLiteral("hikaku"))
        state.view.clear();
    return state;
}

Status writeWindowState(const AppFolder &folder, const WindowState &state)
{
    const QString path = settingsPath(folder);
    IniFile ini = IniFile::read(path);
    // A file we could not read is the user's to mend; overwriting it would lose
    // the settings in it.
    if (ini.state() == IniFile::State::Unreadable)
        return Status::failure(QStringLiteral("設定ファイルが読めません: ") + path);
    QList<std::pair<QString, QString>> values;
    if (state.geometry) {
        values.append({QStringLiteral("left"), QString::number(state.geometry->x())});
        values.append({QStringLiteral("top"), QString::number(state.geometry->y())});
        values.append({QStringLiteral("width"), QString::number(state.geometry->width())});
        values.append({QStringLiteral("height"), QString::number(state.geometry->height())});
    }
    values.append({QStringLiteral("maximized"), state.maximized ? QStringLiteral("1") : QStringLiteral("0")});
    // Nothing chosen: an older choice does not come back.
    values.append(
        {QStringLiteral("gridHeight"), state.gridHeight ? QString::number(*state.gridHeight) : QString()});
    for (const auto &[key, field] : textKeys())
        values.append({key, state.*field});
    for (const auto &[key, value] : values) {
        const Status set = ini.setValue(kSection, key, value);
        if (!set.ok())
            return set;
    }
    return writeFileAtomically(path, ini.bytes());
}

}  // namespace marunoki
