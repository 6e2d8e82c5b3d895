// The device-list variants, registered in a prefix of their own with
// SIMTV_REGISTER=TwoVideoDevices,TwelveAudioDevices.
#include "tests/simcard/SimcardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class DeviceListVariants : public ::testing::Test {
protected:
    ComApartment com;
};

TEST_F(DeviceListVariants, TwoCardsOfTheSameNameTheFirstWithoutInputPin) {
    const std::vector<std::wstring> video = DeviceNames(CLSID_VideoInputDeviceCategory);
    ASSERT_EQ(std::count(video.begin(), video.end(), L"Narvo TV"), 2);
    ComRef<IBaseFilter> first = BindDevice(CLSID_VideoInputDeviceCategory, L"Narvo TV", 0);
    ComRef<IBaseFilter> second = BindDevice(CLSID_VideoInputDeviceCategory, L"Narvo TV", 1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(CountPins(first.Get(), PINDIR_INPUT), 0);
    EXPECT_EQ(CountPins(second.Get(), PINDIR_INPUT), 1);
}

TEST_F(DeviceListVariants, TwelveAudioDevices) {
    const std::vector<std::wstring> audio = DeviceNames(CLSID_AudioInputDeviceCategory);
    EXPECT_EQ(audio.size(), 12u);
    EXPECT_TRUE(std::find(audio.begin(), audio.end(), L"SimTV Audio 12") != audio.end());
}

} // namespace
