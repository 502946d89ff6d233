// A page of a device window that shows values of the device's record. The window hands it every
// announced change of the groups it shows; it draws them from the record and sends nothing back.
#pragma once

#include "model/DeviceRegistry.h"
#include "model/SettingTable.h"

#include <QWidget>

#include <functional>

class LinkHost;

class ValuesPage : public QWidget {
public:
    // How the page draws an announced change of the groups it shows.
    using Show = std::function<void(const DeviceRegistry::Change &)>;

    ValuesPage(qint32 serialNo, LinkHost &host, SettingTable::Groups shown, Show show, QWidget *parent)
        : QWidget(parent), serialNo(serialNo), host(host), shown(shown), show(std::move(show)) {}

    SettingTable::Groups shownGroups() const { return shown; }
    void showChange(const DeviceRegistry::Change &change) { show(change); }

protected:
    // The page's device: its record is looked up through the host on every use.
    const qint32 serialNo;
    LinkHost &host;

private:
    const SettingTable::Groups shown;
    const Show show;
};
