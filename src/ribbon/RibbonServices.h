#pragma once
// The services the ribbon holds for the whole program, each null when missing (or once given back). The
// ribbon owns the references; its collaborators look through this record at every use.
class IBrenmoorVideoEffects;
class IGraniteCommunicationsManager;
class IGraniteDeviceManager;

struct RibbonServices {
    IGraniteDeviceManager* devices = nullptr;
    IGraniteCommunicationsManager* comms = nullptr;
    IBrenmoorVideoEffects* effects = nullptr;
};
