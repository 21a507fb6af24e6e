#pragma once
// The dialog's logic wired to the fakes, with the few things the tests do to
// it again and again.

#include "fake_dialog.h"
#include "job/job_events.h"
#include "wizard/firmware_dialog_logic.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

struct DialogHarness {
    FakeDialogUi ui;
    FakeDialogServices services;
    CFirmwareDialogLogic logic{ui, services};
    JobStatus record;

    void Open()
    {
        logic.Initialise([this] { services.calls.push_back("build pages"); });
    }

    void PortsChange(std::vector<std::string> ports)
    {
        services.ports = std::move(ports);
        logic.HandleMessage(WM_COMPORTS_CHANGED, 0, 0);
    }

    void ProbeChange(bool present)
    {
        services.probe = present;
        logic.HandleMessage(WM_JLINK_CHANGED, 0, 0);
    }

    void ClickRadio(Control radio)
    {
        ui.CheckRadio(radio);
        logic.RunAction(Action::radioClick);
    }

    void ChoosePort(const std::string& entry)
    {
        ui.ChoosePort(entry);
        logic.RunAction(Action::portSelection);
    }

    void Status(int code)
    {
        record.code = code;
        logic.HandleMessage(WM_JOB_STATUS, reinterpret_cast<WParam>(&record), 0);
    }

    int PagesShown(Page page) const
    {
        return static_cast<int>(std::count(ui.pagesShown.begin(), ui.pagesShown.end(), page));
    }
};

class DialogTest : public ::testing::Test, public DialogHarness {};

template <class Param>
class DialogTestWithParam : public ::testing::TestWithParam<Param>, public DialogHarness {};
