// The device record: initial state, range checks with their warnings, name handling, name tables.
#include "LogCapture.h"
#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"

#include <gtest/gtest.h>

TEST(Configuration, NewRecordIsZeroedWithSerialAndTime) {
    const QDateTime before = QDateTime::currentDateTime();
    TavikConfiguration cfg(4711);
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_EQ(cfg.getSerialNo(), 4711);
    EXPECT_STREQ(cfg.getDeviceName(), "");
    for (int i = 0; i < 17; ++i)
        EXPECT_EQ(cfg.getDeviceName()[i], '\0');
    EXPECT_EQ(cfg.getFrequency(), 0);
    EXPECT_EQ(cfg.getSync(), 0);
    EXPECT_EQ(cfg.getLock(), 0);
    EXPECT_EQ(cfg.getDeviceType(), 0);
    EXPECT_EQ(cfg.getVersion1(), 0);
    EXPECT_EQ(cfg.getStatusFlags(), 0);
    EXPECT_FALSE(cfg.isFaderSendPending());
    EXPECT_FALSE(cfg.isFaderResendNeeded());
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(cfg.getFaderValue(i), 0);
    EXPECT_GE(cfg.getLastResponseTime(), before);
    EXPECT_LE(cfg.getLastResponseTime(), after);
}

TEST(Configuration, RateAndSyncSettersIgnoreValuesOutOfRangeSilently) {
    LogCapture log;
    TavikConfiguration cfg(2);
    cfg.setFrequency(6);
    cfg.setFrequency(7);
    EXPECT_EQ(cfg.getFrequency(), 6);
    cfg.setSync(3);
    cfg.setSync(4);
    EXPECT_EQ(cfg.getSync(), 3);
    cfg.setBncRate(6);
    cfg.setBncRate(7);
    cfg.setAdatARate(5);
    cfg.setAdatARate(200);
    cfg.setAdatBRate(4);
    cfg.setAdatBRate(15);
    cfg.setMadiRate(3);
    cfg.setMadiRate(9);
    cfg.setLockedRate(2);
    cfg.setLockedRate(7);
    EXPECT_EQ(cfg.getBncRate(), 6);
    EXPECT_EQ(cfg.getAdatARate(), 5);
    EXPECT_EQ(cfg.getAdatBRate(), 4);
    EXPECT_EQ(cfg.getMadiRate(), 3);
    EXPECT_EQ(cfg.getLockedRate(), 2);
    EXPECT_TRUE(log.all.isEmpty());
}

TEST(Configuration, IndexedSettersWarnAndStoreNothing) {
    LogCapture log;
    TavikConfiguration cfg(2);
    cfg.setRouting(11, 4);
    cfg.setRouting(12, 3);
    EXPECT_TRUE(log.hasWarning("setRouting(): index out of range!"));
    EXPECT_EQ(cfg.getRouting(11), 4);
    EXPECT_EQ(cfg.getRouting(12), 0);
    EXPECT_TRUE(log.hasWarning("getRouting(): index out of range!"));

    cfg.setSMUX(3, 2);
    cfg.setSMUX(4, 1);
    EXPECT_TRUE(log.hasWarning("setSMUX(): value out of range!"));
    EXPECT_EQ(cfg.getSMUX(3), 2);
    EXPECT_EQ(cfg.getSMUX(0), 0);

    log.clear();
    cfg.setFaderValue(32, 1);
    EXPECT_EQ(log.warnings, QStringList{"setFaderValue(): faderNumber out of range!"});
    log.clear();
    cfg.setFaderValue(31, 29);
    EXPECT_EQ(log.warnings, QStringList{"setFaderValue(): newFaderValue out of range!"});
    EXPECT_EQ(cfg.getFaderValue(31), 0);
    cfg.setFaderValue(31, 28);
    EXPECT_EQ(cfg.getFaderValue(31), 28);
    // A byte index is compared unsigned: 0xFFFFFFFF is far out of range.
    cfg.setFaderValue(0xFFFFFFFFu, 3);
    EXPECT_EQ(log.countWarning("setFaderValue(): faderNumber out of range!"), 1);
}

TEST(Configuration, DeviceNameReportsWhetherItWasAlreadyTheSame) {
    TavikConfiguration cfg(2);
    char empty[17] = {};
    EXPECT_TRUE(cfg.setDeviceName(empty));

    char studio[17] = "Studio";
    EXPECT_FALSE(cfg.setDeviceName(studio));
    EXPECT_STREQ(cfg.getDeviceName(), "Studio");
    EXPECT_TRUE(cfg.setDeviceName(studio));

    char other[17] = "Stage";
    other[10] = 'x'; // bytes after the first NUL are copied too
    EXPECT_FALSE(cfg.setDeviceName(other));
    EXPECT_STREQ(cfg.getDeviceName(), "Stage");
    EXPECT_EQ(cfg.getDeviceName()[10], 'x');

    char full[17];
    std::memset(full, 'A', 16);
    full[16] = '\0';
    EXPECT_FALSE(cfg.setDeviceName(full));
    EXPECT_EQ(QString::fromLatin1(cfg.getDeviceName()), QString(16, QLatin1Char('A')));
    EXPECT_TRUE(cfg.setDeviceName(full));
}

TEST(Configuration, NameTables) {
    const char *rates[] = {"---", "32 kHz", "44.1 kHz", "48 kHz", "88.2 kHz", "96 kHz", "192 kHz"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(TavikConfiguration::frequencyName(i), QString::fromLatin1(rates[i]));
    EXPECT_TRUE(TavikConfiguration::frequencyName(7).isEmpty());
    EXPECT_EQ(TavikConfiguration::syncName(0), QStringLiteral("Master"));
    EXPECT_EQ(TavikConfiguration::syncName(1), QStringLiteral("MADI"));
    EXPECT_EQ(TavikConfiguration::syncName(2), QStringLiteral("ADAT"));
    EXPECT_EQ(TavikConfiguration::syncName(3), QStringLiteral("BNC"));
    EXPECT_TRUE(TavikConfiguration::syncName(4).isEmpty());
}

TEST(Configuration, PendingFaderMarkRecordsItsTime) {
    DeviceClock::setSource([] { return qint64(1000000); });
    TavikConfiguration cfg(2);
    cfg.setFaderSendPending(true);
    EXPECT_EQ(cfg.getFaderSendTime().toMSecsSinceEpoch(), 1000000);
    DeviceClock::setSource({});
}
