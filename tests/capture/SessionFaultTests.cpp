// CaptureSession where a device or the graph answers unexpectedly.
#include "tests/capture/SessionFixture.h"

namespace {

class SessionFaultTest : public SessionTest {
protected:
    fakes::FakeDevice microphone{L"マイク"};
};

TEST_F(SessionFaultTest, AudioFilterTheGraphTookUnderAnotherNameIsTakenOutAgain) {
    devices.Add(CLSID_AudioInputDeviceCategory, microphone);
    WriteSettings("CaptureAudioDevice=1\r\nAudioDeviceName=マイク\r\n");
    // A device named like one already in the graph is added under a number.
    graph.addFilterResults = {S_OK, VFW_S_DUPLICATE_NAME};
    EXPECT_TRUE(session.Initialize());
    EXPECT_STREQ("オーディオデバイスが利用できません", OnlyBox().text.c_str());
    EXPECT_FALSE(graph.Holds(&microphone.filter));
    EXPECT_EQ(0, microphone.filter.References());
    EXPECT_EQ(nullptr, session.audioFilter);

    // Choosing it again does not pile it up either.
    graph.addFilterResults = {VFW_S_DUPLICATE_NAME};
    session.SelectAudioDevice(0);
    EXPECT_EQ(2u, boxes.Boxes().size());
    EXPECT_FALSE(graph.Holds(&microphone.filter));
    EXPECT_EQ(0, microphone.filter.References());
}

} // namespace
