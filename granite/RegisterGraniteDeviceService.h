#pragma once
// Wiring of the device-manager service into the object factory, for the program's start and for tests.

// Registers the simulated device-manager service under its class id. The devices come from
// VIDORA_SIMULATED_DEVICES (see devices/CSimulatedDeviceChoice.h).
void RegisterGraniteDeviceService();
// Removes the registration (tests).
void UnregisterGraniteDeviceService();
