// The MIDI transport over a fake platform layer: opening and closing, the four input buffers,
// the synchronous hand-over, long sends with their done notification, and Close racing a hand-over.
#include "FakeMidiPlatform.h"
#include "logo/CMidiPort.h"

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

struct PortFixture {
    FakeMidiPlatform *fake;
    CMidiPort port;
    QObject owner;
    std::vector<std::vector<uint8_t>> received;

    explicit PortFixture(std::vector<std::string> ins = {"in A", "in B"},
                         std::vector<std::string> outs = {"out A", "out B"})
        : fake(new FakeMidiPlatform(std::move(ins), std::move(outs))),
          port(std::unique_ptr<MidiPlatform>(fake)) {
        port.SetOwner(&owner, [this](const uint8_t *data, size_t length) {
            received.emplace_back(data, data + length);
        });
    }
};

std::vector<uint8_t> SysEx(size_t length, uint8_t fill) {
    std::vector<uint8_t> m(length, fill);
    m.front() = 0xF0;
    m.back() = 0xF7;
    return m;
}

// Waits (bounded) for a condition set by another thread, without running the event loop.
bool WaitWithoutEvents(const std::function<bool()> &condition) {
    for (int i = 0; i < 5000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

} // namespace

TEST(MidiPortNames, ListedByIndexUntilTheFirstMissing) {
    PortFixture f({"first", "second"}, {"only"});
    EXPECT_EQ(f.port.GetInName(0).value_or(""), "first");
    EXPECT_EQ(f.port.GetInName(1).value_or(""), "second");
    EXPECT_FALSE(f.port.GetInName(2));
    EXPECT_FALSE(f.port.GetInName(-1));
    EXPECT_EQ(f.port.GetOutName(0).value_or(""), "only");
    EXPECT_FALSE(f.port.GetOutName(1));
}

TEST(MidiPortOpen, OpensBothSidesWithFourZeroFilledBuffersQueued) {
    PortFixture f;
    ASSERT_TRUE(f.port.Open(1, 0));
    EXPECT_EQ(f.fake->LastInIndex(), 1);
    EXPECT_EQ(f.fake->LastOutIndex(), 0);
    EXPECT_EQ(f.fake->QueuedBuffers(), 4u);
    EXPECT_EQ(f.fake->BuffersAdded(), 4);
    EXPECT_TRUE(f.fake->AllAddedBuffersZeroFilled());
}

TEST(MidiPortOpen, FailsWithNoDevicesAndCloseWithNothingOpenDoesNothing) {
    PortFixture f({}, {});
    f.port.Close();
    EXPECT_EQ(f.fake->ResetsWithOpenInput(), 0);
    EXPECT_FALSE(f.port.Open(0, 0));
    EXPECT_FALSE(f.port.IsInOpen());
    EXPECT_FALSE(f.port.IsOutOpen());
}

TEST(MidiPortOpen, OpenOnAnOpenPortClosesFirstAndQueuesAFreshSet) {
    PortFixture f;
    ASSERT_TRUE(f.port.Open(0, 0));
    ASSERT_TRUE(f.port.Open(1, 1));
    EXPECT_EQ(f.fake->ResetsWithOpenInput(), 1);
    EXPECT_EQ(f.fake->InOpens(), 2);
    EXPECT_EQ(f.fake->OutOpens(), 2);
    // The first four came back through the reset and were released, not replaced.
    EXPECT_EQ(f.fake->BuffersAdded(), 8);
    EXPECT_EQ(f.fake->BuffersUnprepared(), 4);
    EXPECT_EQ(f.fake->QueuedBuffers(), 4u);
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.received.empty());
}

TEST(MidiPortOpen, InputWithoutOutputStaysOpenAndStillPassesBuffersOn) {
    PortFixture f;
    f.fake->failOutOpen = true;
    EXPECT_FALSE(f.port.Open(0, 0));
    EXPECT_TRUE(f.port.IsInOpen());
    EXPECT_FALSE(f.port.IsOutOpen());
    f.fake->Inject(SysEx(11, 0x01));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.received.size() == 1; }, 5000));
    f.port.Close();
    EXPECT_FALSE(f.port.IsInOpen());
    EXPECT_FALSE(f.fake->InIsOpen());
}

TEST(MidiPortInput, MessagesInQuickSuccessionArriveOnceEachInOrderAndTheQueueStaysAtFour) {
    PortFixture f;
    ASSERT_TRUE(f.port.Open(0, 0));
    for (uint8_t i = 1; i <= 6; ++i)
        f.fake->Inject(SysEx(11 + i, i));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.received.size() == 6; }, 5000));
    for (uint8_t i = 1; i <= 6; ++i) {
        ASSERT_EQ(f.received[i - 1].size(), 11u + i);
        EXPECT_EQ(f.received[i - 1][1], i);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.fake->QueuedBuffers() == 4; }, 5000));
    EXPECT_EQ(f.fake->BuffersAdded(), 10);
    EXPECT_EQ(f.received.size(), 6u);
}

TEST(MidiPortInput, MessageLongerThanOneBufferArrivesInBufferSizedPieces) {
    PortFixture f;
    ASSERT_TRUE(f.port.Open(0, 0));
    f.fake->Inject(SysEx(2000, 0x55));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.received.size() == 2; }, 5000));
    EXPECT_EQ(f.received[0].size(), 1024u);
    EXPECT_EQ(f.received[0][0], 0xF0);
    EXPECT_EQ(f.received[1].size(), 976u);
    EXPECT_EQ(f.received[1][0], 0x55);
    EXPECT_EQ(f.received[1].back(), 0xF7);
}

TEST(MidiPortSend, LongMessageGoesOutAndIsFreedOnDone) {
    PortFixture f;
    EXPECT_FALSE(f.port.SendLong(SysEx(11, 0)));
    ASSERT_TRUE(f.port.Open(0, 0));

    f.fake->deferDone = true;
    ASSERT_TRUE(f.port.SendLong(SysEx(652, 0x12)));
    ASSERT_EQ(f.fake->Sent().size(), 1u);
    EXPECT_EQ(f.fake->Sent()[0], SysEx(652, 0x12));
    EXPECT_EQ(f.port.PendingSends(), 1);
    f.fake->CompleteSends();
    EXPECT_EQ(f.port.PendingSends(), 0);

    f.fake->deferDone = false;
    f.fake->failOutLongMsg = true;
    EXPECT_FALSE(f.port.SendLong(SysEx(11, 0)));
    EXPECT_EQ(f.port.PendingSends(), 0);
}

TEST(MidiPortClose, BuffersReturnedByTheResetAreNeitherPassedOnNorReplaced) {
    PortFixture f;
    ASSERT_TRUE(f.port.Open(0, 0));
    f.port.Close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.received.empty());
    EXPECT_EQ(f.fake->BuffersAdded(), 4);
    EXPECT_EQ(f.fake->BuffersUnprepared(), 4);
    EXPECT_FALSE(f.fake->InIsOpen());
    EXPECT_FALSE(f.fake->OutIsOpen());
}

// The input thread is waiting for the owner's thread, which is this one and busy calling Close;
// Close must still return, and the buffer must never reach the owner afterwards.
TEST(MidiPortClose, CloseWhileAHandOverWaitsForTheOwnerDoesNotDeadlock) {
    PortFixture f;
    ASSERT_TRUE(f.port.Open(0, 0));
    f.fake->Inject(SysEx(11, 0x01));
    ASSERT_TRUE(WaitWithoutEvents([&] { return f.fake->CallbacksEntered() >= 1; }));
    f.port.Close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.received.empty());
    EXPECT_EQ(f.fake->BuffersUnprepared(), f.fake->BuffersAdded());
}

TEST(MidiPortClose, CloseFromInsideTheReceiverDoesNotDeadlock) {
    auto *fake = new FakeMidiPlatform({"in"}, {"out"});
    CMidiPort port{std::unique_ptr<MidiPlatform>(fake)};
    QObject owner;
    int calls = 0;
    port.SetOwner(&owner, [&](const uint8_t *, size_t) {
        ++calls;
        port.Close();
    });
    ASSERT_TRUE(port.Open(0, 0));
    fake->Inject(SysEx(11, 0x01));
    fake->Inject(SysEx(11, 0x02));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !port.IsInOpen(); }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(fake->InIsOpen());
}

TEST(MidiPortClose, DestroyingThePortWithAHandOverPendingIsSafe) {
    QObject owner;
    int calls = 0;
    {
        auto *fake = new FakeMidiPlatform({"in"}, {"out"});
        CMidiPort port{std::unique_ptr<MidiPlatform>(fake)};
        port.SetOwner(&owner, [&](const uint8_t *, size_t) { ++calls; });
        ASSERT_TRUE(port.Open(0, 0));
        fake->Inject(SysEx(11, 0x01));
        ASSERT_TRUE(WaitWithoutEvents([&] { return fake->CallbacksEntered() >= 1; }));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}
