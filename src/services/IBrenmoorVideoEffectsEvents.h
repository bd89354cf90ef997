#pragma once
// What a window hears from the effects facade. Both operations have empty bodies, so a window overrides only
// what it needs. The facade calls listeners on the user-interface thread only; `cookie` is the value the
// listener gave to AddListener. A listener may call the facade from inside either operation (including
// AddListener, RemoveListener and Release).
#include <cstdint>
#include <string>

class IBrenmoorVideoEffectsEvents {
public:
    virtual ~IBrenmoorVideoEffectsEvents() = default;

    // The engine met an error on its own thread: (code, a text for developers, the engine operation it
    // belongs to; 0 when none). See IEffectsEngine.h.
    virtual void OnEffectsError(uint32_t /*cookie*/, int32_t /*code*/, const std::string& /*text*/,
                                int32_t /*value*/) {}
    // The engine's mode changed (EffectsMode in IEffectsEngine.h).
    virtual void OnEffectsModeChange(uint32_t /*cookie*/, int32_t /*oldMode*/, int32_t /*newMode*/) {}
};
