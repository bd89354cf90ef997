#pragma once
// One simulated device: its identity and a table of numbered properties with their values, how they may be
// written and which values they accept. Cameras add their own behaviour (moving motors, focusing, scene
// alerts) on top. A device is not thread-safe by itself; the hardware that owns it guards it.
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/Variant.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Granite {

// Who writes a property: a program through the service, or the hardware itself (a sensor, a switch on the
// device, the test bench).
enum class WriteOrigin { Client, Hardware };

// How a property may be written.
enum class Access {
    ReadWrite, // programs may write it
    Sensor,    // only the device changes it (shutter, scene detection, focus status)
    Constant,  // never changes (identity, ranges, defaults)
};

// Work a device finishes some time after it started it, which its owner times (see CSimulatedHardware).
namespace TimedWork {
constexpr int32_t FocusSearch = 1;  // the lens searches, then settles (or gives up)
constexpr int32_t MotorArrival = 2; // the pan and tilt motors reach their target
} // namespace TimedWork

// Something a write caused that the service reports to its clients, or timed work the device started.
struct DeviceChange {
    enum class Type { Property, CameraEvent, MotorStatus, Timer };
    Type type = Type::Property;
    int32_t number = 0; // property number, event code, motor status or TimedWork
    Variant oldValue;
    Variant newValue;
    // Reported even when the value did not change (a re-read request).
    static DeviceChange PropertyChange(int32_t number, Variant oldValue, Variant newValue);
    static DeviceChange Event(int32_t code);
    static DeviceChange Motor(uint32_t status);
    // Asks the owner to call OnTimer(work) once the work's time has passed; a newer request for the same
    // work replaces an older one that has not run yet.
    static DeviceChange Timer(int32_t work);
};

struct SimulatedProperty {
    Variant value;
    Access access = Access::ReadWrite;
    // Bounds of a level: the properties holding its minimum and maximum.
    std::optional<int32_t> minProperty;
    std::optional<int32_t> maxProperty;
    // Fixed bounds, for values whose range is not itself a property.
    std::optional<int32_t> minValue;
    std::optional<int32_t> maxValue;
    // The only values a program may write (empty: any value within the bounds).
    std::vector<int32_t> allowed;
};

class CSimulatedDevice {
public:
    CSimulatedDevice(DeviceKind kind, std::string model, uint16_t productId, std::string name,
                     std::string id);
    virtual ~CSimulatedDevice() = default;
    CSimulatedDevice(const CSimulatedDevice&) = delete;
    CSimulatedDevice& operator=(const CSimulatedDevice&) = delete;

    DeviceKind Kind() const { return kind_; }
    const std::string& Model() const { return model_; }
    const std::string& Id() const { return id_; }
    const std::string& Name() const { return name_; }
    uint16_t ProductId() const { return productId_; }

    // --- building the property table ---------------------------------------------------------------------
    void Define(int32_t number, Variant value, Access access = Access::ReadWrite);
    // A switch that reads and writes 0 or 1.
    void DefineSwitch(int32_t number, int32_t value);
    // A switch carried as a boolean (VARIANT_TRUE / VARIANT_FALSE).
    void DefineFlag(int32_t number, bool value, Access access = Access::ReadWrite);
    // A value with a fixed set of accepted values.
    void DefineChoice(int32_t number, int32_t value, std::vector<int32_t> allowed);
    // A level: minimum, maximum, current value and the camera's default (a read-only companion).
    void DefineLevel(int32_t minNumber, int32_t maxNumber, int32_t valueNumber, int32_t defaultNumber,
                     int32_t min, int32_t max, int32_t value, int32_t defaultValue);
    // A level without a default companion.
    void DefineRange(int32_t minNumber, int32_t maxNumber, int32_t valueNumber, int32_t min, int32_t max,
                     int32_t value, Access access = Access::ReadWrite);
    // A number with fixed bounds.
    void DefineBounded(int32_t number, int32_t value, int32_t min, int32_t max);
    void AddFeature(const std::string& name) { features_.insert(name); }
    void SetDriverName(std::string driver) { driver_ = std::move(driver); }
    void SetFaceTracking(bool single, bool multiple);

    // --- answers ---------------------------------------------------------------------------------------
    bool Has(int32_t number) const { return properties_.count(number) != 0; }
    int32_t State(int32_t number) const;
    HRESULT Read(int32_t number, Variant* value) const;
    // The value (empty when absent).
    Variant Value(int32_t number) const;
    // The value as a number (0 when absent or not a number).
    int32_t Number(int32_t number) const;
    // Validates and stores a value; the changes it caused are appended to `changes` (nothing is appended
    // for a write that leaves the value as it was, unless the device reports it anyway).
    HRESULT Write(int32_t number, const Variant& value, WriteOrigin origin,
                  std::vector<DeviceChange>& changes);
    // Whether a property may be written by programs.
    bool IsWritable(int32_t number) const;
    // The time of a TimedWork the device asked for has passed; the changes it causes are appended.
    virtual void OnTimer(int32_t work, std::vector<DeviceChange>& changes);

    bool HasFeature(const std::string& name) const { return features_.count(name) != 0; }
    const std::set<std::string>& Features() const { return features_; }
    bool FaceTracking() const { return faceTracking_; }
    bool MultipleFaceTracking() const { return multipleFaceTracking_; }
    const std::string& DriverName() const { return driver_; }
    std::vector<int32_t> PropertyNumbers() const;

protected:
    // Behaviour of a write beyond storing the value: a device may refuse it (a failure code) or add the
    // changes that follow from it. Called after validation, before the value is stored.
    virtual HRESULT BeforeWrite(int32_t number, const Variant& converted, WriteOrigin origin,
                                std::vector<DeviceChange>& changes);
    // Called after the value is stored and its own change recorded.
    virtual void AfterWrite(int32_t number, const Variant& oldValue, const Variant& newValue,
                            std::vector<DeviceChange>& changes);
    // Stores a value directly (no validation) and records the change when it differs.
    void Store(int32_t number, const Variant& value, std::vector<DeviceChange>& changes);
    SimulatedProperty* Find(int32_t number);
    const SimulatedProperty* Find(int32_t number) const;

private:
    HRESULT Convert(const SimulatedProperty& property, const Variant& in, Variant& out) const;
    HRESULT Validate(const SimulatedProperty& property, const Variant& converted) const;

    DeviceKind kind_;
    std::string model_;
    uint16_t productId_;
    std::string name_;
    std::string id_;
    std::string driver_;
    std::map<int32_t, SimulatedProperty> properties_;
    std::set<std::string> features_;
    bool faceTracking_ = false;
    bool multipleFaceTracking_ = false;
};

} // namespace Granite
