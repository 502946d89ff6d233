// The words the device pages show for each setting of a device, the names a snapshot file gives
// them, and which values each family takes. The pages draw these words in their pictures; the
// core keeps them here so that snapshots and their comparisons speak the pages' language.
#pragma once

#include <QString>
#include <QtGlobal>

class SettingNames {
public:
    static constexpr int SmuxCount = 4;
    static constexpr int RoutingCount = 12;
    static constexpr int FaderCount = 32;
    static constexpr int MaxFaderStep = 28;

    // Families: "neo" / "lux" in a file, "Tavik Neo" / "Tavik Lux" in text; empty (or 0) for others.
    static QString familyKey(quint8 family);
    static QString familyName(quint8 family);
    static quint8 familyFromKey(const QString &key);

    // Sample rates: codes 1..6 are 32, 44.1, 48, 88.2, 96 and 192 kHz (0, "---", means none).
    static double rateKhz(int code);
    static int rateCode(double khz);   // 0 when no rate code has this rate
    static QString rateText(int code); // "44.1 kHz", as the settings page shows it
    static bool takesRate(quint8 family, int code);

    // Clock sources 0..3: "master", "madi", "adat", "bnc" in a file; "Master", "MADI", ... shown.
    static QString syncKey(int code);
    static int syncCode(const QString &key); // -1 when unknown; case does not matter
    static QString syncText(int code);
    static bool takesSync(quint8 family, int code);

    // SMUX groups 0..3: MADI 44.1, MADI 48, ADAT 44.1, ADAT 48; value v is the v-th rate of the group
    // (44.1, 88.2 kHz or 48, 96, 192 kHz).
    static QString smuxKey(int index);  // "madi_44.1"
    static QString smuxText(int index); // "MADI 44.1"
    static bool hasSmuxGroup(quint8 family, int index);
    static int smuxChoices(int index);
    static double smuxKhz(int index, int value); // 0 outside the group
    static int smuxValue(int index, double khz); // -1 when the group has no such rate
    static bool takesSmux(quint8 family, int index, int value);

    // Routing values 0..11: index % 3 is the rate range (32/44.1/48, 88.2/96, 192 kHz, with 4, 2
    // and 1 MADI blocks), index / 3 the kind (analog inputs, ADAT inputs, analog outputs, ADAT
    // outputs). Value v below the block count is block M(v+1); the value after the blocks is "off"
    // for the inputs, "ADAT" for the analog outputs and "analog" for the ADAT outputs.
    static bool hasRouting(quint8 family);
    static QString routingRangeKey(int index);  // "32-48k", "88-96k", "192k"
    static QString routingRangeText(int index); // "32/44.1/48 kHz"
    static QString routingKindKey(int index);   // "analog_in", "adat_in", "analog_out", "adat_out"
    static QString routingKindText(int index);  // "analog inputs"
    static int routingChoices(int index);
    static QString routingValueText(int index, int value);   // empty outside the choices
    static int routingValue(int index, const QString &text); // -1 when unknown; case does not matter

    // Faders: index 0..15 are output channels 1..16, 16..31 input channels 1..16. Step s is
    // -4.0 + 0.5 s dB on an input and -10.0 + 0.5 s dB on an output, s = 0..28.
    static bool isInputFader(int index);
    static int faderChannel(int index);  // 1..16
    static QString faderText(int index); // "Input channel 3"
    static double gainDb(int index, int step);
    static int gainStep(int index, double db);    // -1 when out of range or off the 0.5 dB steps
    static QString gainText(int index, int step); // "+1.5", "0.0", "-4.0", as the fader shows it
};
