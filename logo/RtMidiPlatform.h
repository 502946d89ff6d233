#pragma once

#include "logo/MidiPlatform.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <rtmidi/RtMidi.h>
#include <string>

class MidiInputThread;

// The MIDI platform layer over RtMidi, trying the default API and then each other compiled one.
// One RtMidiIn lists and opens the inputs, one RtMidiOut the outputs: each is one client of the
// MIDI system, whose ports are opened and closed on it. Its own ports are left out of the lists.
class RtMidiPlatform : public MidiPlatform {
public:
    // Always: the default API (ALSA) is tried first, as TavikLogo does. OnlyWithSequencer: where the
    // ALSA sequencer's device node is missing, ALSA is not tried at all, so none of its failure
    // lines reach standard error, and the other APIs (JACK) are tried straight away.
    enum class AlsaProbe { Always, OnlyWithSequencer };

    // The input's client is called clientName and the output's clientName + " out", so the MIDI
    // system never has to rename them.
    explicit RtMidiPlatform(std::string clientName = "TavikLogo", AlsaProbe alsa = AlsaProbe::Always);
    ~RtMidiPlatform() override;

    const std::string &InClientName() const { return m_inClient; }
    const std::string &OutClientName() const { return m_outClient; }

    std::optional<std::string> InDeviceName(unsigned index) override;
    std::optional<std::string> OutDeviceName(unsigned index) override;
    std::vector<std::string> InDeviceNames(unsigned max) override;
    std::vector<std::string> OutDeviceNames(unsigned max) override;

    int InOpen(Handle &handle, unsigned index, InCallback callback) override;
    int InOpenNamed(Handle &handle, const std::string &name, InCallback callback) override;
    int InPrepareHeader(Handle handle, MidiBuffer *buffer) override;
    int InAddBuffer(Handle handle, MidiBuffer *buffer) override;
    int InStart(Handle handle) override;
    int InStop(Handle handle) override;
    int InReset(Handle handle) override;
    int InClose(Handle handle) override;
    int InUnprepareHeader(Handle handle, MidiBuffer *buffer) override;

    int OutOpen(Handle &handle, unsigned index, OutCallback callback) override;
    int OutOpenNamed(Handle &handle, const std::string &name, OutCallback callback) override;
    int OutPrepareHeader(Handle handle, MidiBuffer *buffer) override;
    int OutLongMsg(Handle handle, MidiBuffer *buffer) override;
    int OutUnprepareHeader(Handle handle, MidiBuffer *buffer) override;
    int OutReset(Handle handle) override;
    int OutClose(Handle handle) override;

private:
    struct Input;
    struct Output;

    bool ResolveApi();
    bool EnsureInput();
    bool EnsureOutput();
    // The object's ports minus this platform's own, as the user chooses from them.
    std::vector<std::string> Listed(RtMidi &midi, unsigned max);
    // Index in the object's own list of the port called name, or -1.
    int RawIndex(RtMidi &midi, const std::string &name);
    bool IsOwnPort(const std::string &name) const;
    void ClearErrors();
    // After a failed open the object is dropped when the MIDI system refused it (its server went
    // away); the next listing creates a new one, which meets the server as it is now.
    void DropIfBroken(std::unique_ptr<RtMidiIn> &midi);
    void DropIfBroken(std::unique_ptr<RtMidiOut> &midi);
    void NoteServerState();
    static void OnRtMidiInput(double stamp, std::vector<unsigned char> *message, void *user);
    static void OnRtMidiError(RtMidiError::Type type, const std::string &text, void *user);

    std::string m_inClient;
    std::string m_outClient;
    AlsaProbe m_alsaProbe;
    bool m_apiResolved = false;
    bool m_apiFound = false;
    RtMidi::Api m_api = RtMidi::UNSPECIFIED;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    Input *m_openInput = nullptr;
    Output *m_openOutput = nullptr;
    // The input's realtime callback reads the open input under this lock, so closing never
    // frees it under a callback already running.
    std::mutex m_inputMutex;
    Input *m_receiving = nullptr;
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_broken{false};
    std::atomic<bool> m_serverMissing{false};
    bool m_missingReported = false;
};
