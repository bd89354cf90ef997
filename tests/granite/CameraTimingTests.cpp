// What the simulated cameras take time for: automatic focus searches before it settles (or fails), pan and
// tilt motors report moving and stopped a motor period apart, and the digital pan and tilt window follows
// the zoom. The periods are made short; the tests wait for the events, never for the clock.
#include "GraniteServiceFixture.h"
#include "granite/devices/SimulatedDeviceConstants.h"

using namespace Granite;
using namespace std::chrono_literals;

namespace {
constexpr auto kMotorPeriod = 100ms;

// Motor statuses as the hardware reports them, with the time of each report (the sink's arrival times
// would add the service thread's delays).
class CMotorClock : public IHardwareListener {
public:
    void OnHardwareEvent(const HardwareEvent& event) override {
        if (event.type == HardwareEvent::Type::MotorStatus)
            reports.push_back({event.status, std::chrono::steady_clock::now()});
    }
    std::vector<std::pair<uint32_t, std::chrono::steady_clock::time_point>>
        reports; // under the hardware's lock
};

std::vector<int32_t> Numbers(const std::vector<RecordedEvent>& events, const std::string& id,
                             int32_t property = -1) {
    std::vector<int32_t> out;
    for (const RecordedEvent& e : events) {
        if (e.id != id || (property >= 0 && e.number != property))
            continue;
        out.push_back(property >= 0 ? e.newValue.GetI4() : e.number);
    }
    return out;
}
} // namespace

class CameraTiming : public GraniteServiceFixture {
protected:
    void SetUp() override {
        GraniteServiceFixture::SetUp();
        hardware->SetFocusSearchTime(15ms);
        hardware->SetMotorPeriod(kMotorPeriod);
        for (int32_t code : {CamEvent::FocusSettled, CamEvent::FocusLost, CamEvent::FocusFailed})
            ASSERT_EQ(service->SubscribeVideoEvent(Camera(0), code, 0), S_OK);
    }
    bool WaitForFocusEvents(size_t count) { return sink.WaitForCount("camera-event", count); }
    bool WaitForMotor(size_t count) { return sink.WaitForCount("motor", count); }
};

TEST_F(CameraTiming, AutomaticFocusSearchesThenSettlesOrFailsAsTheCameraIsTold) {
    const std::string full = Camera(0);
    struct Case {
        bool fails;
        int32_t endState;
        int32_t endEvent;
    };
    for (const Case& c : {Case{false, FocusState::Settled, CamEvent::FocusSettled},
                          Case{true, FocusState::Failed, CamEvent::FocusFailed}}) {
        ASSERT_EQ(service->SetVideoProperty(full, CamProp::AutoFocus, Variant::FromBool(false)), S_OK);
        ASSERT_EQ(control->SetFocusFails(c.fails, 1), S_OK);
        sink.Clear();
        ASSERT_EQ(service->SetVideoProperty(full, CamProp::AutoFocus, Variant::FromBool(true)), S_OK);
        ASSERT_TRUE(WaitForFocusEvents(2)) << c.fails;
        EXPECT_EQ(Numbers(sink.Named("camera-event"), full),
                  (std::vector<int32_t>{CamEvent::FocusLost, c.endEvent}));
        EXPECT_EQ(Numbers(sink.Named("video-property"), full, CamProp::FocusStatus),
                  (std::vector<int32_t>{FocusState::Searching, c.endState}));
        EXPECT_EQ(CameraNumber(full, CamProp::FocusStatus), c.endState);
    }
    // Healed while the focus has failed under automatic focus: it searches again and settles.
    sink.Clear();
    ASSERT_EQ(control->SetFocusFails(false, 1), S_OK);
    ASSERT_TRUE(WaitForFocusEvents(2));
    EXPECT_EQ(Numbers(sink.Named("camera-event"), full),
              (std::vector<int32_t>{CamEvent::FocusLost, CamEvent::FocusSettled}));
    // Focus lost under automatic focus is searched for again by itself.
    sink.Clear();
    ASSERT_EQ(control->ReportFocus(FocusState::Searching, 1), S_OK);
    ASSERT_TRUE(WaitForFocusEvents(2));
    EXPECT_EQ(CameraNumber(full, CamProp::FocusStatus), FocusState::Settled);

    EXPECT_EQ(control->SetFocusFails(true, 2), E_NOTIMPL) << "the basic camera has no automatic focus";
}

TEST_F(CameraTiming, ASearchOvertakenByManualFocusNeverReportsASettle) {
    const std::string full = Camera(0);
    ASSERT_EQ(service->SetVideoProperty(full, CamProp::AutoFocus, Variant::FromBool(false)), S_OK);
    ASSERT_EQ(service->SetVideoProperty(full, CamProp::AutoFocus, Variant::FromBool(true)), S_OK);
    ASSERT_EQ(service->SetVideoProperty(full, CamProp::AutoFocus, Variant::FromBool(false)), S_OK);
    // A motor move, due after the search on the same timer, is the marker that the search's time passed.
    ASSERT_EQ(service->SetVideoProperty(Camera(2), CamProp::MoveLeft, Variant::FromI4(0)), S_OK);
    ASSERT_TRUE(WaitForMotor(2));
    EXPECT_EQ(Numbers(sink.Named("camera-event"), full), std::vector<int32_t>{CamEvent::FocusLost});
    EXPECT_EQ(CameraNumber(full, CamProp::FocusStatus), FocusState::Settled) << "the lens stays where it was";
}

TEST_F(CameraTiming, MotorsReportMovingThenStoppedAPeriodApartAndCommandsDuringAMoveExtendIt) {
    const std::string ptz = Camera(2);
    CMotorClock clock;
    hardware->AddListener(&clock);
    ASSERT_EQ(service->SetVideoProperty(ptz, CamProp::MoveRight, Variant::FromI4(0)), S_OK);
    ASSERT_EQ(service->SetVideoProperty(ptz, CamProp::MoveRight, Variant::FromI4(0)), S_OK);
    const auto lastCommand = std::chrono::steady_clock::now();
    ASSERT_EQ(service->SetVideoProperty(ptz, CamProp::MoveUp, Variant::FromI4(0)), S_OK);
    ASSERT_TRUE(WaitForMotor(2));
    hardware->RemoveListener(&clock);
    ASSERT_EQ(clock.reports.size(), 2u);
    EXPECT_EQ(clock.reports[0].first, kMotorMoving);
    EXPECT_LT(clock.reports[0].second, lastCommand) << "moving is reported when the move starts";
    EXPECT_EQ(clock.reports[1].first, kMotorStopped);
    EXPECT_GE(clock.reports[1].second - lastCommand, kMotorPeriod) << "a move takes a motor period";
    EXPECT_EQ(sink.Named("motor").size(), 2u);
    // The positions change when the motors arrive: range -10..10 moves 2 per step.
    EXPECT_EQ(CameraNumber(ptz, CamProp::Pan), 4);
    EXPECT_EQ(CameraNumber(ptz, CamProp::Tilt), -2);
    std::vector<std::string> order;
    for (const RecordedEvent& e : sink.Events()) {
        if (e.id == ptz)
            order.push_back(e.name + std::to_string(e.name == "motor" ? e.status : e.number));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"motor1", "video-property24", "video-property28", "motor0"}))
        << "the positions are reported when the motors arrive";

    // Home from there moves; at an end stop (or at home) nothing runs.
    sink.Clear();
    ASSERT_EQ(service->SetVideoProperty(ptz, CamProp::MotorHome, Variant::FromBool(false)), S_OK);
    ASSERT_TRUE(WaitForMotor(2));
    EXPECT_EQ(CameraNumber(ptz, CamProp::Pan), 0);
    ASSERT_EQ(service->SetVideoProperty(ptz, CamProp::Pan, Variant::FromI4(10)), S_OK);
    sink.Clear();
    ASSERT_EQ(service->SetVideoProperty(ptz, CamProp::MoveRight, Variant::FromI4(0)), S_OK);
    ASSERT_EQ(service->SetVideoProperty(ptz, CamProp::MotorHome, Variant::FromBool(false)), S_OK);
    ASSERT_TRUE(WaitForMotor(2));
    EXPECT_EQ(sink.Named("motor").size(), 2u) << "the move at the end stop did not run the motors";
}

TEST_F(CameraTiming, TheDigitalWindowReachesFurtherTheCloserTheZoomAndZoomingOutPullsItBack) {
    const std::string full = Camera(0);
    EXPECT_EQ(service->SetVideoProperty(full, CamProp::Pan, Variant::FromI4(1)), E_INVALIDARG)
        << "at the widest zoom there is nothing to pan";
    struct Case {
        int32_t zoom;
        int32_t reach;
    };
    // Zoomed in by z out of 100..400, the window moves by (1 - 100 / z) of the picture, scaled so that the
    // closest zoom reaches 10.
    for (const Case& c : {Case{400, 10}, Case{250, 8}, Case{200, 6}, Case{100, 0}}) {
        ASSERT_EQ(service->SetVideoProperty(full, CamProp::Zoom, Variant::FromI4(400)), S_OK);
        ASSERT_EQ(service->SetVideoProperty(full, CamProp::Pan, Variant::FromI4(10)), S_OK);
        ASSERT_EQ(service->SetVideoProperty(full, CamProp::Tilt, Variant::FromI4(-10)), S_OK);
        ASSERT_EQ(service->SetVideoProperty(full, CamProp::Zoom, Variant::FromI4(c.zoom)), S_OK);
        EXPECT_EQ(CameraNumber(full, CamProp::PanMax), c.reach) << c.zoom;
        EXPECT_EQ(CameraNumber(full, CamProp::TiltMin), -c.reach) << c.zoom;
        EXPECT_EQ(CameraNumber(full, CamProp::Pan), c.reach) << c.zoom;
        EXPECT_EQ(CameraNumber(full, CamProp::Tilt), -c.reach) << c.zoom;
        if (c.reach == 10)
            continue;
        // The pulled-back position is reported like any other change of it.
        auto last = [&](const std::vector<RecordedEvent>& events, int32_t property) {
            const auto values = Numbers(events, full, property);
            return values.empty() ? INT32_MIN : values.back();
        };
        EXPECT_TRUE(sink.WaitFor([&](const std::vector<RecordedEvent>& events) {
            return last(events, CamProp::Pan) == c.reach && last(events, CamProp::Tilt) == -c.reach;
        })) << c.zoom;
    }
    // The motorised camera's range does not depend on its zoom.
    EXPECT_EQ(CameraNumber(Camera(2), CamProp::PanMax), 10);
}
