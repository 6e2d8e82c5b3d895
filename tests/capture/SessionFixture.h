#pragma once

// Fake DirectShow for a test: the platform's filter graph, capture graph
// builder and device enumerator are replaced through class registration, the
// card "Narvo TV" (analog input and capture pin) is listed, message boxes are
// caught, and the settings file beside the test program starts absent and is
// removed at the end. SessionTest adds a CaptureSession of its own.

#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "capture/CaptureSession.h"
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeDevices.h"
#include "tests/fakes/FakeGraph.h"
#include "tests/support/MessageBoxCatcher.h"
#include "tests/support/TempFolder.h"

#include <string>

class FakeCardTest : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        ASSERT_TRUE(boxes.Installed());
        DeleteFileA(settingsFile.Path());
        graphClass.Register();
        builderClass.Register();
        devicesClass.Register();
        card.filter.AddPin(PINDIR_INPUT, "video in");
        card.filter.AddPin(PINDIR_OUTPUT, "capture");
        devices.Add(CLSID_VideoInputDeviceCategory, card);
    }

    // Derived fixtures end their use of the fakes first.
    void TearDown() override {
        graphClass.Revoke();
        builderClass.Revoke();
        devicesClass.Revoke();
        FakeComTest::TearDown();
        DeleteFileA(settingsFile.Path());
    }

    fakes::FakeDeviceEnum devices;
    fakes::FakeGraph graph;
    fakes::FakeBuilder builder;
    fakes::FakeClass graphClass{CLSID_FilterGraph, static_cast<IGraphBuilder*>(&graph)};
    fakes::FakeClass builderClass{CLSID_CaptureGraphBuilder, static_cast<ICaptureGraphBuilder*>(&builder)};
    fakes::FakeClass devicesClass{CLSID_SystemDeviceEnum, static_cast<ICreateDevEnum*>(&devices)};
    fakes::FakeDevice card{L"Narvo TV"};
    MessageBoxCatcher boxes;
};

class SessionTest : public FakeCardTest {
protected:
    void TearDown() override {
        session.Shutdown();
        FakeCardTest::TearDown();
    }

    // Initialize, then forget its journal.
    void Start() {
        ASSERT_TRUE(session.Initialize());
        fakes::ClearJournal();
    }

    void WriteSettings(const std::string& mainConfig) {
        WriteWholeFile(settingsFile.Path(), "[MainConfig]\r\n" + mainConfig);
    }
    // A key of "MainConfig" as the file holds it, "<missing>" when absent.
    std::string Stored(const char* key) {
        char value[300] = {};
        GetPrivateProfileStringA("MainConfig", key, "<missing>", value, sizeof value, settingsFile.Path());
        return value;
    }
    // The one box shown so far, or an empty one after a failed expectation.
    MessageBoxCatcher::Box OnlyBox() {
        EXPECT_EQ(1u, boxes.Boxes().size());
        return boxes.Boxes().empty() ? MessageBoxCatcher::Box{} : boxes.Boxes().front();
    }

    CaptureSession session;
};

using Lines = std::vector<std::string>;
