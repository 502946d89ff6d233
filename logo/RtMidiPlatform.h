#pragma once

#include "logo/MidiPlatform.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <rtmidi/RtMidi.h>
#include <string>

class MidiInputThread;

// The MIDI platform layer over RtMidi, trying the default API and then each other compiled one
// (without ALSA where its sequencer's device node is missing). One RtMidiIn lists and opens the
// inputs, one RtMidiOut the outputs: each is one client of the MIDI system, whose ports are opened
// and closed on it. Its own ports are left out of the lists. Over JACK (jackd2, or PipeWire's JACK)
// the objects are made while a server runs, and made anew once the server they met went.
class RtMidiPlatform : public MidiPlatform {
public:
    // The input's client is called clientName and the output's clientName + " out", so the MIDI
    // system never has to rename them.
    explicit RtMidiPlatform(std::string clientName = "TavikLogo");
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
    // A library object of the API found, or null (no JACK server runs); server is the JACK
    // server's number from the watch, 0 for other APIs.
    template <class Lib> std::unique_ptr<Lib> MakeObject(const std::string &client, unsigned long &server);
    // After a failed open the object is dropped when the MIDI system refused it (its server went
    // away); the next listing creates a new one, which meets the server as it is now.
    template <class Lib> void Drop(std::unique_ptr<Lib> &midi, unsigned long &server);
    // Makes the object when missing, and anew once its server went (only while no port of it is
    // open; until then it lists nothing).
    template <class Lib>
    bool Ensure(std::unique_ptr<Lib> &midi, unsigned long &server, bool portOpen, const std::string &client);
    bool EnsureInput();
    bool EnsureOutput();
    // The object's ports minus this platform's own, as the user chooses from them.
    std::vector<std::string> Listed(RtMidi &midi, unsigned max);
    // Index in the object's own list of the port called name, or -1.
    int RawIndex(RtMidi &midi, const std::string &name);
    bool IsOwnPort(const std::string &name) const;
    void ClearErrors();
    static void OnRtMidiInput(double stamp, std::vector<unsigned char> *message, void *user);
    static void OnRtMidiError(RtMidiError::Type type, const std::string &text, void *user);

    std::string m_inClient;
    std::string m_outClient;
    bool m_apiResolved = false;
    bool m_apiFound = false;
    RtMidi::Api m_api = RtMidi::UNSPECIFIED;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    unsigned long m_inServer = 0;
    unsigned long m_outServer = 0;
    Input *m_openInput = nullptr;
    Output *m_openOutput = nullptr;
    // The input's realtime callback reads the open input under this lock, so closing never
    // frees it under a callback already running.
    std::mutex m_inputMutex;
    Input *m_receiving = nullptr;
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_broken{false};
};
