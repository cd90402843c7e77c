// corvalo-replay [--data DIR] [--render] SCRIPT: plays one game headless from a key script and prints every frame
// as JSON.
#include <command_line.h>
#include <d3d11.h>
#include <d3dutil.h>
#include <platform_files.h>
#include <platform_hooks.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>

#include "enemy.h"
#include "game.h"
#include "player.h"
#include "projectile.h"
#include "json_number.h"
#include "replay_script.h"
#include "screenswitcher.h"
#include "vertex.h"

namespace {

const UINT kWidth = 1024;
const UINT kHeight = 768;

// Remembers the last screen the game asked for during one frame.
class RecordingSwitcher : public ScreenSwitcher {
public:
    void SetState(ScreenState state) override {
        mRequested = state;
        mHasRequest = true;
    }
    bool HasRequest() const { return mHasRequest; }
    ScreenState Requested() const { return mRequested; }
    void Reset() { mHasRequest = false; }

private:
    ScreenState mRequested = Playing;
    bool mHasRequest = false;
};

// The device, the 1024 x 768 targets and the application's parts Draw relies on: lights, frame matrix and the
// vertex layout made from the application's own effect.
class Stage {
public:
    bool Create(D3D_DRIVER_TYPE driverType) {
        D3D_FEATURE_LEVEL level;
        if (FAILED(D3D11CreateDevice(nullptr, driverType, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device, &level,
                                     &context))) {
            return false;
        }
        if (!mTarget.Create(device, kWidth, kHeight, true)) return false;
        mTarget.Bind(context);
        mAppEffect = new LitTexEffect();
        mAppEffect->LoadFromFile(L"FX/lighting.fx", device);
        CreateNormalTexLayout(device, mAppEffect->GetTechnique());
        XMStoreFloat4x4(&mFrameMatrix,
                        XMMatrixIdentity() * XMMatrixIdentity() *
                            XMMatrixOrthographicOffCenterLH(0.0f, static_cast<float>(kWidth), 0.0f,
                                                            static_cast<float>(kHeight), 0.0001f, 1000.0f));
        return true;
    }

    bool HasEffect() const { return mAppEffect && mAppEffect->GetTechnique(); }

    ~Stage() {
        DestroyAllLayouts();
        delete mAppEffect;
        if (context) context->ClearState();
        mTarget.Release();
        ReleaseAndClear(context);
        ReleaseAndClear(device);
    }

    GameDrawArgs DrawArgs() {
        GameDrawArgs args = {};
        args.context = context;
        mMatrix = XMLoadFloat4x4(&mFrameMatrix);
        args.frameMatrix = &mMatrix;
        args.renderTarget = mTarget.View();
        args.depthStencilTarget = mTarget.DepthView();
        args.pointLight.Colour = XMFLOAT4(0.75f, 0.75f, 0.75f, 1.0f);
        args.pointLight.Position = XMFLOAT3(50.0f, 50.0f, 50.0f);
        args.pointLight.Range = 1000.0f;
        args.pointLight.Attenuation = XMFLOAT3(0.0f, 0.02f, 0.0f);
        args.spotLight.Colour = XMFLOAT4(0.75f, 0.75f, 0.75f, 1.0f);
        args.spotLight.Position = XMFLOAT3(0.0f, 0.0f, 0.0f);
        args.spotLight.Range = 100.0f;
        args.spotLight.Direction = XMFLOAT3(0.0f, 0.0f, 0.0f);
        args.spotLight.SpotFactor = 128.0f;
        args.spotLight.Attenuation = XMFLOAT3(0.0f, 0.25f, 0.0f);
        args.ambientLight = XMFLOAT4(1.0f, 1.0f, 1.0f, 1.0f);
        return args;
    }

    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;

private:
    OffscreenTarget mTarget;
    LitTexEffect* mAppEffect = nullptr;
    XMFLOAT4X4 mFrameMatrix;
    XMMATRIX mMatrix;
};

const char* StateName(const RecordingSwitcher& switcher) {
    if (!switcher.HasRequest()) return "Playing";
    if (switcher.Requested() == Win) return "Win";
    if (switcher.Requested() == GameOver) return "GameOver";
    return "Playing";
}

const char* Bool(bool value) { return value ? "true" : "false"; }

using replay::JsonNumber;
using Member = std::pair<const char*, std::string>;

// One JSON object from its members, in order.
std::string Object(std::initializer_list<Member> members) {
    std::string text = "{";
    for (const Member& member : members) {
        if (text.size() > 1) text += ",";
        text += std::string("\"") + member.first + "\":" + member.second;
    }
    return text + "}";
}

std::string PlayerJson(const Game& game) {
    const Player* player = game.GetPlayer();
    const XMFLOAT2 p = player->GetPosition();
    const XMFLOAT3 v = player->GetVelocity();
    return Object({{"x", JsonNumber(p.x)},
                   {"y", JsonNumber(p.y)},
                   {"vx", JsonNumber(v.x)},
                   {"vy", JsonNumber(v.y)},
                   {"health", JsonNumber(player->GetHealth())},
                   {"onGround", Bool(player->IsOnGround())},
                   {"facingRight", Bool(game.IsFacingRight())}});
}

std::string EnemiesJson(const Game& game) {
    std::string text = "[";
    for (const Enemy* enemy : game.GetEnemies()) {
        const XMFLOAT2 e = enemy->GetPosition();
        if (text.size() > 1) text += ",";
        text += Object({{"x", JsonNumber(e.x)}, {"y", JsonNumber(e.y)}, {"health", JsonNumber(enemy->GetHealth())}});
    }
    return text + "]";
}

std::string ArrowsJson(const Game& game) {
    std::string text = "[";
    for (const Projectile* arrow : game.GetArrows()) {
        const XMFLOAT2 a = arrow->GetPosition();
        if (text.size() > 1) text += ",";
        text += Object({{"x", JsonNumber(a.x)},
                        {"y", JsonNumber(a.y)},
                        {"vx", JsonNumber(arrow->GetVelocity().x)},
                        {"distance", JsonNumber(arrow->GetDistance())}});
    }
    return text + "]";
}

void PrintFrame(unsigned long frame, const char* state, const Game& game, bool flameOn) {
    const BoundingBoxes::BoundingBox eol = game.GetEOLBox();
    const std::string eolBox = "[" + JsonNumber(eol.x) + "," + JsonNumber(eol.y) + "," + JsonNumber(eol.width) + "," +
                               JsonNumber(eol.height) + "]";
    const std::string line = Object({{"frame", std::to_string(frame)},
                                     {"state", std::string("\"") + state + "\""},
                                     {"time", JsonNumber(game.GetTotalTime())},
                                     {"player", PlayerJson(game)},
                                     {"fuel", std::to_string(game.GetFuel())},
                                     {"fuelTimer", JsonNumber(game.GetFuelTimer())},
                                     {"hasFuel", Bool(game.HasFuel())},
                                     {"flameOn", Bool(flameOn)},
                                     {"canFire", Bool(game.CanFire())},
                                     {"fireCounter", JsonNumber(game.GetFireCounter())},
                                     {"invulnerable", JsonNumber(game.GetInvulnerableTime())},
                                     {"thrustTimer", JsonNumber(gThrustTimer)},
                                     {"eolActive", Bool(game.IsEOLActive())},
                                     {"eolBox", eolBox},
                                     {"enemies", EnemiesJson(game)},
                                     {"arrows", ArrowsJson(game)}});
    std::printf("%s\n", line.c_str());
}

// Runs one step's frames; false once the game has asked to leave the playing state.
bool RunStep(const replay::Step& step, Stage& stage, Game& game, std::array<bool, 256>& held, unsigned long* frame) {
    held.fill(false);
    for (int key : step.keys) held[static_cast<size_t>(key)] = true;
    RecordingSwitcher switcher;
    for (unsigned long i = 0; i < step.frames; ++i) {
        switcher.Reset();
        game.Update(stage.context, stage.device, step.dt, &switcher);
        const bool flameOn = game.IsFlameOn();
        game.Draw(stage.DrawArgs());
        PrintFrame((*frame)++, StateName(switcher), game, flameOn);
        if (switcher.HasRequest()) return false;
    }
    return true;
}

// The frames depend only on the game's state, never on pixels, so the null device prints the same frames without
// rasterising them.
int Play(const std::vector<replay::Step>& steps, bool render) {
    Stage stage;
    if (!stage.Create(render ? D3D_DRIVER_TYPE_HARDWARE : D3D_DRIVER_TYPE_NULL)) {
        std::fprintf(stderr, "corvalo-replay: cannot create the Direct3D device and its targets\n");
        return 1;
    }
    std::array<bool, 256> held = {};
    platform::SetKeySource([&held](int virtualKey) {
        return virtualKey >= 0 && virtualKey < 256 && held[static_cast<size_t>(virtualKey)];
    });
    unsigned long frame = 0;
    bool loaded = stage.HasEffect();
    {
        Game game;
        game.Init(stage.device);
        const std::vector<ID3D11ShaderResourceView*>& textures = game.GetTextures();
        loaded = loaded && std::find(textures.begin(), textures.end(), nullptr) == textures.end();
        // Frames played without the effect or a picture would pass for the game's, and they are not.
        for (auto step = steps.begin(); loaded && step != steps.end(); ++step) {
            if (!RunStep(*step, stage, game, held, &frame)) break;
        }
    }
    platform::SetKeySource(nullptr);
    if (!loaded) {
        std::fprintf(stderr, "corvalo-replay: the game's effect or pictures did not load (FX/, Textures/)\n");
        return 1;
    }
    return 0;
}

// Why a script is not played: its input could not be read (exit code 1) or it says something the tool cannot
// play (2).
enum class Refusal { kNone, kUnreadable, kMistaken };

// A script that breaks off in a read error is refused, not played short.
Refusal ReadFrom(const platform::ReadEnd read, const std::string& text, const std::string& name,
                 std::vector<replay::Step>* steps, replay::ScriptError* error) {
    if (read != platform::ReadEnd::kRead) {
        *error = {0, name, read == platform::ReadEnd::kTooLarge ? platform::InputTooLargeReason() : error->reason};
        return Refusal::kUnreadable;
    }
    std::istringstream script(text);
    if (!replay::ParseScript(script, steps, error)) return Refusal::kMistaken;
    unsigned long frames = 0;
    for (const replay::Step& step : *steps) frames += step.frames;
    if (frames == 0) {
        // An empty script (stdin on /dev/null, a file cut short) would look like a game that was played.
        *error = {0, name, "the script plays no frame"};
        return Refusal::kUnreadable;
    }
    return Refusal::kNone;
}

Refusal ReadScript(const std::string& path, std::vector<replay::Step>* steps, replay::ScriptError* error) {
    std::string text;
    error->reason = "cannot read the script";
    if (path == "-") return ReadFrom(platform::ReadInput(std::cin, &text), text, "standard input", steps, error);
    std::FILE* file = cli::OpenInput(path, &error->reason);
    if (!file) {
        error->text = path;
        return Refusal::kUnreadable;
    }
    errno = 0;
    const platform::ReadEnd read = platform::ReadInput(file, &text);
    if (errno != 0) error->reason = std::strerror(errno);
    std::fclose(file);
    return ReadFrom(read, text, path, steps, error);
}

// Plays the script from the data directory (the working one when empty); returns the exit code.
int Replay(const std::string& script, const std::string& dataDir, bool render) {
    std::vector<replay::Step> steps;
    replay::ScriptError error;
    const Refusal refusal = ReadScript(script, &steps, &error);
    if (refusal == Refusal::kUnreadable) {
        std::fprintf(stderr, "corvalo-replay: %s: %s\n", error.text.c_str(), error.reason.c_str());
        return 1;
    }
    if (refusal == Refusal::kMistaken) {
        std::fprintf(stderr, "corvalo-replay: line %d: \"%s\": %s\n", error.line, error.text.c_str(),
                     error.reason.c_str());
        return 2;
    }
    if (!dataDir.empty() && chdir(dataDir.c_str()) != 0) {
        std::fprintf(stderr, "corvalo-replay: cannot enter the data directory %s: %s\n", dataDir.c_str(),
                     std::strerror(errno));
        return 1;
    }
    if (render) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    return Play(steps, render);
}

}  // namespace

int main(int argc, char** argv) {
    const cli::Syntax syntax = {
        "corvalo-replay",
        "SCRIPT",
        1,
        1,
        "Plays one game headless from a key script (tests/replay/*.replay; - reads standard input)\n"
        "and prints the state of every frame as JSON. Its draws go to Direct3D's null device, which\n"
        "checks them and draws nothing, unless --render draws them for real (the same frames print).\n",
        {{"data", "DIR", "read FX/, Textures/ and Sounds/ under DIR, not the working directory"},
         {"render", "", "draw every frame on the hardware device"}}};
    return cli::Run(syntax, argc, argv, [&syntax](const cli::Arguments& args) {
        const std::string dataDir = args.Value("data");
        if (args.Has("data") && dataDir.empty()) return cli::UsageError(syntax, "option '--data' needs a directory");
        return Replay(args.operands[0], dataDir, args.Has("render"));
    });
}
