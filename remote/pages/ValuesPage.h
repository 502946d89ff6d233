// A page that shows values of a device's record. The device window hands it every announced
// change of the groups it shows; it draws them from the record and sends nothing back.
#pragma once

#include "model/DeviceRegistry.h"
#include "model/SettingTable.h"

class ValuesPage {
public:
    virtual ~ValuesPage() = default;
    virtual SettingTable::Groups shownGroups() const = 0;
    virtual void showChange(const DeviceRegistry::Change &change) = 0;
};
