#include "arrange/displays.h"

#include "app/app_state.h"
#include "platform/bounded_text.h"

void refreshDisplays() {
    AppState& a = app();
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
    for (const MonitorRecord& m : a.monitors)
        platform::comboAdd(a.controls.displayCombo, m.deviceName);
    platform::comboSelect(a.controls.displayCombo, 0);
}
