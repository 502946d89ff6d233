// Codec: readers with their range checks, writers, framing checks, dump layout, serial display form.
#include "LogCapture.h"
#include "protocol/LogSwitch.h"
#include "protocol/MidiCodec.h"

#include <gtest/gtest.h>
#include <memory>

namespace {
MidiMessage msg(std::initializer_list<unsigned char> b) {
    return MidiMessage(b);
}

const char *const Int32Warning =
    "Attempt discovered to fetch int32 from MIDI-msg outside of message! Index was %1.";
} // namespace

TEST(SerialNumber, WrittenAsFourSevenBitGroupsAndReadBack) {
    MidiMessage m;
    MidiCodec::prepMsgSerialNumber(&m, 3000000);
    EXPECT_EQ(m, msg({0x40, 0x0D, 0x37, 0x01}));
    EXPECT_EQ(MidiCodec::readInt32(&m, 0), 3000000);

    MidiMessage zero;
    MidiCodec::prepMsgSerialNumber(&zero, 0);
    EXPECT_EQ(zero, msg({0, 0, 0, 0}));

    MidiMessage largest;
    MidiCodec::prepMsgSerialNumber(&largest, 268435455);
    EXPECT_EQ(largest, msg({0x7F, 0x7F, 0x7F, 0x7F}));
    EXPECT_EQ(MidiCodec::readInt32(&largest, 0), 268435455);
}

TEST(SerialNumber, SharedPackingIgnoresTopBitsAndHeaderCheckNeedsTheFamilyByte) {
    EXPECT_EQ(TavikSysEx::unpackSerial({0xC0, 0x8D, 0xB7, 0x81}), 3000000u);
    EXPECT_EQ(TavikSysEx::unpackSerial(TavikSysEx::packSerial(TavikSysEx::MaxSerial)), TavikSysEx::MaxSerial);
    const unsigned char header[] = {0xF0, 0x00, 0x11, 0x22, 0x05};
    EXPECT_TRUE(TavikSysEx::hasHeader(header, 5, TavikSysEx::FamilyLux));
    EXPECT_FALSE(TavikSysEx::hasHeader(header, 4, TavikSysEx::FamilyLux));
    EXPECT_TRUE(TavikSysEx::hasManufacturerId(header, 4));
    EXPECT_FALSE(TavikSysEx::hasManufacturerId(header, 3));
    EXPECT_FALSE(TavikSysEx::isFramed(nullptr, 0));
}

TEST(Builders, VersionBroadcastBytes) {
    std::unique_ptr<MidiMessage> m(MidiCodec::prepMsgHeader(0x01));
    MidiCodec::prepMsgSerialNumber(m.get(), 0);
    m->push_back(0x00);
    MidiCodec::prepMsgSysExEnd(m.get());
    EXPECT_EQ(*m, msg({0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}));
}

TEST(Builders, SysExStartOnlyIntoEmptyMessage) {
    LogCapture log;
    MidiMessage m{0x01};
    MidiCodec::prepMsgSysExStart(&m);
    MidiCodec::prepMsgSysExStart(nullptr);
    EXPECT_EQ(m, msg({0x01}));
    EXPECT_EQ(log.countWarning("MIDI::prepMsgSysExStart(): msg is NULL or size() is not 0!"), 2);
}

TEST(Readers, NibblesOfOneDataByte) {
    MidiMessage m{0x5A};
    EXPECT_EQ(MidiCodec::readChar4(&m, 0, true), 0x0A);
    EXPECT_EQ(MidiCodec::readChar4(&m, 0, false), 0x05);
}

TEST(Readers, OutOfRangeGivesNeutralValueAndWarning) {
    LogCapture log;
    const MidiMessage m = msg({0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7});

    EXPECT_EQ(MidiCodec::readInt32(&m, 8), -1);
    EXPECT_TRUE(log.hasWarning(QString::fromLatin1(Int32Warning).arg(8)));
    EXPECT_EQ(MidiCodec::readInt32(&m, 7), 0x77 << 21);
    EXPECT_EQ(MidiCodec::readInt32(&m, -1), -1);
    EXPECT_EQ(MidiCodec::readInt32(nullptr, 0), -1);

    EXPECT_EQ(MidiCodec::readInt16(&m, 10), -1);
    EXPECT_TRUE(log.hasWarning(
        QStringLiteral("Attempt discovered to fetch int16 from MIDI-msg outside of message! Index was 10.")));
    EXPECT_EQ(MidiCodec::readInt16(&m, 9), 0x00 | (0x77 << 7));

    EXPECT_EQ(MidiCodec::readChar8(&m, 11), 0);
    EXPECT_EQ(MidiCodec::readChar8(nullptr, 0), 0);
    EXPECT_EQ(log.countWarning("MIDI::readChar8(): msg is NULL or index out of range!"), 2);
    EXPECT_EQ(MidiCodec::readChar8(&m, 10), 0xF7);

    EXPECT_EQ(MidiCodec::readChar4(nullptr, 0, true), 0);
    EXPECT_TRUE(log.hasWarning("MIDI::readChar4(): msg is NULL!"));
    EXPECT_EQ(MidiCodec::readChar4(&m, 11, true), 0);
    EXPECT_EQ(MidiCodec::readChar4(&m, -5, false), 0);
    EXPECT_EQ(log.countWarning("MIDI::readChar4(): index out of range!"), 2);
}

TEST(Readers, HugeIndexDoesNotWrapAround) {
    LogCapture log;
    const MidiMessage m(16, 0x11);
    EXPECT_EQ(MidiCodec::readInt32(&m, 0x7FFFFFFF), -1);
    EXPECT_EQ(MidiCodec::readInt16(&m, 0x7FFFFFFF), -1);
    EXPECT_EQ(MidiCodec::readChar8(&m, 0x7FFFFFFF), 0);
    EXPECT_EQ(MidiCodec::readInt32(&m, 12), 0x11 | 0x11 << 7 | 0x11 << 14 | 0x11 << 21);
    EXPECT_EQ(MidiCodec::readInt32(&m, 13), -1);
}

TEST(Framing, SysExCheck) {
    LogSwitch::setOn(true);
    LogCapture log;
    const MidiMessage tenBytes = msg({0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF7});
    EXPECT_FALSE(MidiCodec::parseMsgIsSysExType(&tenBytes));
    EXPECT_TRUE(log.hasWarning("parseMsgIsSysExType(): msg size less than 11 (truncated msg!)"));

    log.clear();
    const MidiMessage badEnd = msg({0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8});
    EXPECT_FALSE(MidiCodec::parseMsgIsSysExType(&badEnd));
    EXPECT_TRUE(log.all.isEmpty());

    const MidiMessage badStart = msg({0xF1, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7});
    EXPECT_FALSE(MidiCodec::parseMsgIsSysExType(&badStart));
    EXPECT_TRUE(log.all.isEmpty());

    EXPECT_FALSE(MidiCodec::parseMsgIsSysExType(nullptr));
    EXPECT_TRUE(log.hasWarning("MIDI::parseMsgIsSysExType(): msg is NULL!"));

    const MidiMessage empty;
    EXPECT_FALSE(MidiCodec::parseMsgIsSysExType(&empty));

    log.clear();
    const MidiMessage good = msg({0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7});
    EXPECT_TRUE(MidiCodec::parseMsgIsSysExType(&good));
    EXPECT_EQ(log.debugs, QStringList{"MIDI message is of type SysEx!"});
    LogSwitch::setOn(false);
}

TEST(Framing, FamilyChecks) {
    LogSwitch::setOn(true);
    LogCapture log;
    const MidiMessage neo = msg({0xF0, 0x00, 0x11, 0x22, 0x01, 0, 0, 0, 0, 0x20, 0xF7});
    const MidiMessage lux = msg({0xF0, 0x00, 0x11, 0x22, 0x05, 0, 0, 0, 0, 0x20, 0xF7});
    const MidiMessage other = msg({0xF0, 0x00, 0x11, 0x22, 0x03, 0, 0, 0, 0, 0x20, 0xF7});
    const MidiMessage vendor = msg({0xF0, 0x00, 0x11, 0x23, 0x01, 0, 0, 0, 0, 0x20, 0xF7});
    const MidiMessage tooShort = msg({0xF0, 0x00});

    EXPECT_TRUE(MidiCodec::parseMsgIsForTavikNeo(&neo));
    EXPECT_EQ(log.debugs, QStringList{"MIDI message is for a KalVenso Tavik-Neo!"});
    EXPECT_FALSE(MidiCodec::parseMsgIsForTavikNeo(&lux));
    EXPECT_TRUE(MidiCodec::parseMsgIsForTavikLux(&lux));
    EXPECT_FALSE(MidiCodec::parseMsgIsForTavikLux(&neo));
    EXPECT_FALSE(MidiCodec::parseMsgIsForTavikNeo(&other));
    EXPECT_FALSE(MidiCodec::parseMsgIsForTavikLux(&other));
    EXPECT_FALSE(MidiCodec::parseMsgIsForTavikNeo(&vendor));
    EXPECT_FALSE(MidiCodec::parseMsgIsForTavikNeo(&tooShort));
    EXPECT_FALSE(MidiCodec::parseMsgIsForTavikLux(nullptr));
    EXPECT_EQ(log.debugs.size(), 1);
    LogSwitch::setOn(false);
}

TEST(Dump, TwentyByteOutgoingMessage) {
    MidiMessage m(20, 0x00);
    m[0] = 0xF0;
    m[19] = 0xF7;
    const QString text = MidiCodec::dumpText(&m, false, -1.0);
    const QString expected =
        QStringLiteral("*** Printing MIDI-OUT message, message size = 20 ***\n"
                       "0x00:0xf0, 0x01:0x00, 0x02:0x00, 0x03:0x00, 0x04:0x00, 0x05:0x00, "
                       "0x06:0x00, 0x07:0x00, 0x08:0x00, 0x09:0x00, 0x0a:0x00, 0x0b:0x00, "
                       "0x0c:0x00, 0x0d:0x00, 0x0e:0x00, 0x0f:0x00, 0x10:0x00\n"
                       "0x11:0x00, 0x12:0x00, 0x13:0xf7, ");
    EXPECT_EQ(text, expected);
}

TEST(Dump, IncomingMessageWithStampAndEmptyMessage) {
    const MidiMessage m = msg({0xF0, 0xF7});
    EXPECT_EQ(MidiCodec::dumpText(&m, true, 0.25),
              QStringLiteral(
                  "*** Printing MIDI-IN message, message size = 2 ***\n0x00:0xf0, 0x01:0xf7, stamp = 0.25"));
    EXPECT_EQ(MidiCodec::dumpText(&m, true, 1.0 / 3.0).right(16), QStringLiteral("stamp = 0.333333"));
    const MidiMessage empty;
    EXPECT_EQ(MidiCodec::dumpText(&empty, true, 0.5),
              QStringLiteral("*** Printing MIDI-IN message, message size = 0 ***\n"));
}

TEST(Dump, PrintedOnlyWhileLoggingIsOn) {
    const MidiMessage m = msg({0xF0, 0xF7});
    LogCapture log;
    LogSwitch::setOn(false);
    MidiCodec::printMsg(&m, true, 0.0);
    EXPECT_TRUE(log.all.isEmpty());
    LogSwitch::setOn(true);
    MidiCodec::printMsg(&m, true, 0.0);
    EXPECT_EQ(log.debugs.size(), 1);
    LogSwitch::setOn(false);
}

TEST(HexText, AtLeastTwoLowerCaseDigits) {
    EXPECT_EQ(MidiCodec::hexText(5), QStringLiteral("0x05"));
    EXPECT_EQ(MidiCodec::hexText(240), QStringLiteral("0xf0"));
    EXPECT_EQ(MidiCodec::hexText(300), QStringLiteral("0x12c"));
    EXPECT_EQ(MidiCodec::hexText(0x43), QStringLiteral("0x43"));
}

TEST(SerialCode, DisplayForm) {
    EXPECT_EQ(MidiCodec::serialCode(0), QStringLiteral("000-000-000"));
    EXPECT_EQ(MidiCodec::serialCode(12345), QStringLiteral("141-202-380"));
    EXPECT_EQ(MidiCodec::serialCode(123456789), QStringLiteral("586-638-764"));
    EXPECT_EQ(MidiCodec::serialCode(268435455), QStringLiteral("355-581-494"));
    EXPECT_EQ(MidiCodec::serialCode(1), QStringLiteral("000-000-010"));
    EXPECT_EQ(MidiCodec::serialCode(-1).size(), 11);
}
