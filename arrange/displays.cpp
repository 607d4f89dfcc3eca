#include "arrange/displays.h"

#include "app/app_state.h"
#include "platform/bounded_text.h"

#include <string>

void refreshDisplays() {
    AppState& a = app();
    // The display the user chose stays chosen, by its device name, across a
    // rebuild (a taskbar that hides, a scale change, a display added); only
    // once it has gone does the first take its place.
    std::u16string chosen;
    const int selected = platform::comboSelection(a.controls.displayCombo);
    if (selected >= 0 && static_cast<std::size_t>(selected) < a.monitors.size())
        chosen = a.monitors[static_cast<std::size_t>(selected)].deviceName;
    a.monitors.clear();

    BoundedText<260> line;
    line.number(platform::monitorCount()).text(u"\n");
    platform::debugOutput(line.c_str());

    platform::enumerateMonitors([&a](const char16_t* device, const platform::Rect& area) {
        MonitorRecord record;
        for (int i = 0; i < kDeviceNameUnits - 1 && device[i]; ++i)
            record.deviceName[i] = device[i];
        record.area = area;

        BoundedText<260> info;
        info.text(record.deviceName).text(u": ").number(area.left).text(u", ");
        info.number(area.top).text(u", ").number(area.right).text(u", ").number(area.bottom);
        platform::debugOutput(info.text(u"\n").c_str());

        a.monitors.push_back(record);
    });

    platform::comboReset(a.controls.displayCombo);
    int select = 0;
    for (std::size_t i = 0; i < a.monitors.size(); ++i) {
        platform::comboAdd(a.controls.displayCombo, a.monitors[i].deviceName);
        if (!chosen.empty() && chosen == a.monitors[i].deviceName)
            select = static_cast<int>(i);
    }
    platform::comboSelect(a.controls.displayCombo, select);
}
