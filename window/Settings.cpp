#include "window/Settings.h"

#include <QSettings>

#include <memory>

namespace quiddity {

namespace {

constexpr char kViewTypeValue[] = "Viewtype";
constexpr char kEditorValue[] = "Editor";

std::unique_ptr<QSettings> OpenStore() {
    auto store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Larkspur"),
                                             QStringLiteral("Quiddity"));
    store->beginGroup(QStringLiteral("Settings"));
    return store;
}

// The file is text: a value that is no number is as good as missing.
int ReadInteger(const QSettings& store, const char* name, int fallback) {
    bool ok = false;
    const int value = store.value(QLatin1String(name)).toString().toInt(&ok);
    return ok ? value : fallback;
}

CReportSwitches ReadSwitches(const QSettings& store) {
    CReportSwitches switches;
    for (const SwitchSetting& value : kSwitchSettings) switches.*value.member = ReadInteger(store, value.name, 1) != 0;
    return switches;
}

}  // namespace

CSettings LoadSettings() {
    const std::unique_ptr<QSettings> store = OpenStore();
    CSettings settings;
    // Only the three views exist: anything else stored would pick no view.
    const int viewType = ReadInteger(*store, kViewTypeValue, kViewHex);
    settings.nViewType = viewType >= kViewHex && viewType <= kViewInfo ? viewType : kViewHex;
    settings.strEditor = store->value(QLatin1String(kEditorValue), QLatin1String(kDefaultEditor)).toString().toStdString();
    settings.switches = ReadSwitches(*store);
    return settings;
}

void SaveSettings(const CSettings& settings) {
    const std::unique_ptr<QSettings> store = OpenStore();
    store->setValue(QLatin1String(kEditorValue), QString::fromStdString(settings.strEditor));
    for (const SwitchSetting& value : kSwitchSettings)
        store->setValue(QLatin1String(value.name), QString::number(settings.switches.*value.member ? 1 : 0));
    store->setValue(QLatin1String(kViewTypeValue), QString::number(settings.nViewType));
}

CReportSwitches ReadSwitches() { return ReadSwitches(*OpenStore()); }

}  // namespace quiddity
