// The effect's variable objects: typed views of one variable, plus shared invalid objects for failed lookups.
#pragma once
#include <memory>
#include <vector>

#include "d3dx11effect.h"

namespace fx {

class Effect;
struct Slot;

class VariableSet {
public:
    explicit VariableSet(Effect* effect);
    ~VariableSet();
    VariableSet(const VariableSet&) = delete;
    VariableSet& operator=(const VariableSet&) = delete;

    size_t Count() const { return slots_.size(); }
    ID3DX11EffectVariable* Get(size_t index);
    static ID3DX11EffectVariable* Invalid();
    // The view last set on a texture variable (not add-refed); null when none.
    ID3D11ShaderResourceView* Resource(size_t index) const;

private:
    std::vector<std::unique_ptr<Slot>> slots_;
};

}  // namespace fx
