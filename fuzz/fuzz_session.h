// One fuzz run: a simulated host with the effect linked in, fed a sequence of
// commands decoded from the input, and checked after every command for what
// a host cannot forgive. A broken check aborts, so the fuzzer keeps the input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "testhost/core/host.h"
#include "testhost/core/layer.h"

namespace zonara_fuzz {

// Stops the run with a message; libFuzzer records the input as a crash.
[[noreturn]] void Fail(const std::string &what);

// True when ZONARA_FUZZ_TRACE is set: the commands describe themselves on
// standard error, for reading a found input.
bool Tracing();

// The effect's entry point, linked in and called through the host's records
// (every host here is made with it in the module's place).
PF_Err CallEffect(testhost::Host &host, PF_Cmd cmd, PF_LayerDef *output = nullptr, void *extra = nullptr);

// The checks that hold after any command: nothing thrown into the host and
// every suite acquired in it given back.
void CheckCommandEnded(const testhost::Host &host, const char *command);

// Refuses a few suites chosen by the input (none most of the time).
void RefuseSomeSuites(FuzzedDataProvider &in, testhost::Host &host);

// The commands; each decodes what it needs from `in`.
void FuzzGlobalSetup(FuzzedDataProvider &in, testhost::Host &host);
void FuzzAbout(FuzzedDataProvider &in, testhost::Host &host);
void FuzzParamsSetupFailure(FuzzedDataProvider &in, testhost::Host &host);
void FuzzParamValue(FuzzedDataProvider &in, testhost::Host &host);
void FuzzUnknownCommand(FuzzedDataProvider &in, testhost::Host &host);
void FuzzRender(FuzzedDataProvider &in, testhost::Host &host);
void FuzzOverlayEvent(FuzzedDataProvider &in, testhost::Host &host);

// The host's parameter setup through the linked-in effect: the store is
// rebuilt from what was declared, every value at its declared default.
PF_Err DeclareParams(testhost::Host &host);
// A clean parameter setup, as every host does before rendering.
void SetUpParams(testhost::Host &host);
// PF_Cmd_RENDER of `source` into `output` through the linked-in effect.
PF_Err RenderLayers(testhost::Host &host, testhost::Layer &source, testhost::Layer &output);

}  // namespace zonara_fuzz
