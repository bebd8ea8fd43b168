// The look a model file carries (see TK_ModelLook.h): the scene fields are
// the tagged rows of the setting table; the chunk's encoding.
#include "model/TK_ModelLook.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/OMB_BitFile.h"
#include "core/OMB_XIFF.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_SettingTable.h"
#include "model/TK_VoxScene.h"

namespace {

using S = TK_Settings;

// The scene settings are the rows of the setting table with a file tag.
bool IsScene(const TK_Setting& f) { return f.tag != 0; }

constexpr size_t kSettingBytes = 8;
constexpr size_t kMaterialBytes = 4 + sizeof(TK_Material);

bool SameField(const TK_Setting& f, const S& a, const S& b) {
    if (f.intField) return a.*f.intField == b.*f.intField;
    if (f.floatField) return a.*f.floatField == b.*f.floatField;
    return std::memcmp(a.*f.colorField, b.*f.colorField, 3) == 0;
}

void CopyField(const TK_Setting& f, const S& from, S& to) {
    if (f.intField) to.*f.intField = from.*f.intField;
    if (f.floatField) to.*f.floatField = from.*f.floatField;
    if (f.colorField) std::memcpy(to.*f.colorField, from.*f.colorField, 3);
}

int32_t FloatBits(float v) {
    int32_t bits;
    std::memcpy(&bits, &v, 4);
    return bits;
}

float BitsFloat(int32_t bits) {
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

void Put(std::vector<uint8_t>& out, int32_t v) {
    out.resize(out.size() + 4);
    OMB_PutInt32LE(&out[out.size() - 4], v);
}

int32_t FieldBits(const TK_Setting& f, const S& s) {
    if (f.intField) return s.*f.intField;
    if (f.floatField) return FloatBits(s.*f.floatField);
    const uint8_t* c = s.*f.colorField;
    return int32_t(uint32_t(c[0]) | uint32_t(c[1]) << 8 | uint32_t(c[2]) << 16);
}

// A stored value into its field, clamped; a value that is not a number
// keeps the field as it is.
void ReadField(const TK_Setting& f, const uint8_t* p, S& s) {
    const int32_t bits = OMB_GetInt32LE(p);
    if (f.intField) s.*f.intField = int(f.Clamp(bits));
    if (f.floatField && std::isfinite(BitsFloat(bits))) s.*f.floatField = float(f.Clamp(BitsFloat(bits)));
    if (f.colorField) std::memcpy(s.*f.colorField, p, 3);
}

// The record's fields as 13 32-bit words, in declaration order.
void PutMaterial(std::vector<uint8_t>& out, const TK_Material& m) {
    int32_t words[13];
    static_assert(sizeof words == sizeof(TK_Material), "13 words");
    std::memcpy(words, &m, sizeof words);
    for (int32_t w : words) Put(out, w);
}

// A stored record, clamped as "pt_mtl" clamps; numbers that are not finite
// take the default's.
TK_Material ReadMaterial(const uint8_t* p) {
    int32_t words[13];
    for (int i = 0; i < 13; ++i) words[i] = OMB_GetInt32LE(p + 4 * i);
    TK_Material m;
    std::memcpy(&m, words, sizeof m);
    const TK_Material d = TK_DefaultMaterial();
    if (m.type < 0 || m.type >= kMaterialTypeCount) m.type = TK_MATERIAL_DIFFUSE;
    for (const TK_MaterialParam& p : kMaterialParams) {
        float& v = m.*p.field;
        v = std::isfinite(v) ? std::clamp(v, p.lo, p.hi) : d.*p.field;
    }
    for (float& spare : m.spare)
        if (!std::isfinite(spare)) spare = 0;
    return m;
}

}  // namespace

bool TK_IsDefaultMaterial(const TK_Material& m) {
    const TK_Material d = TK_DefaultMaterial();
    return std::memcmp(&m, &d, sizeof m) == 0;
}

TK_ModelLook::TK_ModelLook() {
    for (TK_Material& m : materials) m = TK_DefaultMaterial();
}

bool TK_ModelLook::IsDefault() const {
    const S defaults;
    for (const TK_Setting& f : TK_SettingTable())
        if (IsScene(f) && !SameField(f, settings, defaults)) return false;
    return std::all_of(materials + 1, materials + 256, TK_IsDefaultMaterial);
}

bool TK_ModelLook::NeedsOwnChunk() const {
    const S defaults;
    for (const TK_Setting& f : TK_SettingTable())
        if (IsScene(f) && !SameField(f, settings, defaults)) return true;
    return !std::all_of(materials + 1, materials + 256, TK_MaterialFitsVox);
}

void TK_ModelLook::Capture(const TK_EditorEnv& env) {
    std::copy(env.materials, env.materials + 256, materials);
    for (const TK_Setting& f : TK_SettingTable())
        if (IsScene(f)) CopyField(f, env.settings, settings);
}

void TK_ModelLook::Install(TK_EditorEnv& env) const {
    const int oldPrim = env.settings.ptPrim;
    std::copy(materials, materials + 256, env.materials);
    for (const TK_Setting& f : TK_SettingTable())
        if (IsScene(f)) CopyField(f, settings, env.settings);
    if (env.renderer) {
        const int programs = env.settings.ptPrim != oldPrim ? TK_RENDER_PROGRAMS : 0;
        env.renderer->SettingsChanged(programs | TK_RENDER_MATERIALS | TK_RENDER_RESTART);
    }
    env.Broadcast(TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE);
}

void TK_ModelLook::Encode(std::vector<uint8_t>& out, bool beyondMatl) const {
    out.clear();
    Put(out, kVersion);
    const auto rows = TK_SettingTable();
    Put(out, int32_t(std::count_if(rows.begin(), rows.end(), IsScene)));
    for (const TK_Setting& f : rows) {
        if (!IsScene(f)) continue;
        Put(out, int32_t(f.tag));
        Put(out, FieldBits(f, settings));
    }
    const size_t countAt = out.size();
    Put(out, 0);
    int32_t count = 0;
    for (int i = 1; i < 256; ++i) {
        if (TK_IsDefaultMaterial(materials[i]) || (beyondMatl && TK_MaterialFitsVox(materials[i]))) continue;
        Put(out, i);
        PutMaterial(out, materials[i]);
        ++count;
    }
    OMB_PutInt32LE(&out[countAt], count);
}

bool TK_ModelLook::Decode(const uint8_t* data, size_t size) {
    if (size < 8 || OMB_GetInt32LE(data) != kVersion) return false;
    const int32_t settingCount = OMB_GetInt32LE(data + 4);
    if (settingCount < 0 || size_t(settingCount) > (size - 8) / kSettingBytes) return false;
    const uint8_t* p = data + 8;
    const size_t materialsAt = 8 + size_t(settingCount) * kSettingBytes;
    if (size - materialsAt < 4) return false;
    const int32_t materialCount = OMB_GetInt32LE(data + materialsAt);
    if (materialCount < 0 || materialCount > 255 || size_t(materialCount) > (size - materialsAt - 4) / kMaterialBytes)
        return false;
    TK_ModelLook look;
    std::copy(materials, materials + 256, look.materials);
    for (int32_t k = 0; k < settingCount; ++k, p += kSettingBytes)
        for (const TK_Setting& f : TK_SettingTable())
            if (IsScene(f) && uint32_t(OMB_GetInt32LE(p)) == f.tag) ReadField(f, p + 4, look.settings);
    p = data + materialsAt + 4;
    for (int32_t k = 0; k < materialCount; ++k, p += kMaterialBytes) {
        const int32_t index = OMB_GetInt32LE(p);
        if (index < 1 || index > 255) return false;
        look.materials[index] = ReadMaterial(p + 4);
    }
    *this = look;
    return true;
}
