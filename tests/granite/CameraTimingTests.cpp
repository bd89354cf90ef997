// What the simulated cameras take time for: focus searches, pan and tilt motors, and the digital window that
// follows the zoom. The periods are made short; the tests wait for the events, never for the clock.
#include "GraniteServiceFixture.h"
#include "granite/devices/SimulatedDeviceConstants.h"

using namespace Granite;
using namespace std::chrono_literals;

namespace {
constexpr auto kMotorPeriod = 100ms;

// Motor statuses as the hardware reports them, with the time of each (the sink's would add thread delays).
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
        ASSERT_TRUE(sink.WaitForCount("camera-event", 2)) << c.fails;
        EXPECT_EQ(Numbers(sink.Named("camera-event"), full),
                  (std::vector<int32_t>{CamEvent::FocusLost, c.endEvent}));
        EXPECT_EQ(Numbers(sink.Named("video-property"), full, CamProp::FocusStatus),
                  (std::vector<int32_t>{FocusState::Searching, c.endState}));
        EXPECT_EQ(CameraNumber(full, CamProp::FocusStatus), c.endState);
    }
    // Healed while the focus has failed under automatic focus: it searches again and settles.
    sink.Clear();
    ASSERT_EQ(control->SetFocusFails(false, 1), S_OK);
    ASSERT_TRUE(sink.WaitForCount("camera-event", 2));
    EXPECT_EQ(Numbers(sink.Named("camera-event"), full),
              (std::vector<int32_t>{CamEvent::FocusLost, CamEvent::FocusSettled}));
    // Focus lost under automatic focus is searched for again by itself.
    sink.Clear();
    ASSERT_EQ(control->ReportFocus(FocusState::Searching, 1), S_OK);
    ASSERT_TRUE(sink.WaitForCount("camera-event", 2));
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
    EXPECT_EQ(std::pair(clock.reports[0].first, clock.reports[1].first),
              std::pair(kMotorMoving, kMotorStopped));
    EXPECT_LT(clock.reports[0].second, lastCommand) << "moving is reported when the move starts";
    EXPECT_GE(clock.reports[1].second - lastCommand, kMotorPeriod) << "a move takes a motor period";
    // The positions change when the motors arrive: range -10..10 moves 2 per step.
    EXPECT_EQ(std::pair(CameraNumber(ptz, CamProp::Pan), CameraNumber(ptz, CamProp::Tilt)), std::pair(4, -2));
    std::vector<std::string> order;
    for (const RecordedEvent& e : sink.Events())
        if (e.id == ptz)
            order.push_back(e.name + std::to_string(e.name == "motor" ? e.status : e.number));
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
    // Zoomed in by z out of 100..400, the window moves by (1 - 100 / z) of the picture, scaled so that the
    // closest zoom reaches 10; the pulled-back position is reported like any other change of it.
    for (const auto& [zoom, reach] :
         {std::pair{400, 10}, std::pair{250, 8}, std::pair{200, 6}, std::pair{100, 0}}) {
        for (const auto& [property, value] : {std::pair{CamProp::Zoom, 400}, std::pair{CamProp::Pan, 10},
                                              std::pair{CamProp::Tilt, -10}, std::pair{CamProp::Zoom, zoom}})
            ASSERT_EQ(service->SetVideoProperty(full, property, Variant::FromI4(value)), S_OK);
        std::vector<int32_t> now;
        for (int32_t p : {CamProp::PanMax, CamProp::TiltMin, CamProp::Pan, CamProp::Tilt})
            now.push_back(CameraNumber(full, p));
        EXPECT_EQ(now, (std::vector<int32_t>{reach, -reach, reach, -reach})) << zoom;
        EXPECT_TRUE(sink.WaitFor([&, reach = reach](const std::vector<RecordedEvent>& events) {
            const auto pans = Numbers(events, full, CamProp::Pan),
                       tilts = Numbers(events, full, CamProp::Tilt);
            return !pans.empty() && pans.back() == reach && !tilts.empty() && tilts.back() == -reach;
        })) << zoom;
    }
    EXPECT_EQ(CameraNumber(Camera(2), CamProp::PanMax), 10) << "the motorised camera's range stays";
}
