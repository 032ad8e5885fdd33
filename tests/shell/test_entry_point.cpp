// The host's one way in: routing, and that nothing thrown inside ever
// reaches the host.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "shell/entry_point.h"
#include "shell/handler_guard.h"
#include "support/linked_effect.h"

namespace {

using testhost::Host;
using testhost::HostApp;

// The entry point with records the host built, but no parameters, output
// or event record.
PF_Err Call(PF_Cmd cmd, Host &host) {
    return host.SendTo([](PF_Cmd command, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **, PF_LayerDef *,
                          void *) { return EntryPointFunc(command, in_data, out_data, nullptr, nullptr, nullptr); },
                       cmd);
}

TEST(EntryPoint, CommandsWithoutHandlerSucceedAndTouchNothing) {
    const PF_Cmd commands[] = {PF_Cmd_UNUSED_0,
                               PF_Cmd_GLOBAL_SETDOWN,
                               PF_Cmd_SEQUENCE_SETUP,
                               PF_Cmd_SEQUENCE_RESETUP,
                               PF_Cmd_SEQUENCE_FLATTEN,
                               PF_Cmd_SEQUENCE_SETDOWN,
                               PF_Cmd_DO_DIALOG,
                               PF_Cmd_FRAME_SETUP,
                               PF_Cmd_FRAME_SETDOWN,
                               PF_Cmd_USER_CHANGED_PARAM,
                               PF_Cmd_UPDATE_PARAMS_UI,
                               PF_Cmd_RESERVED2,
                               27,
                               -1,
                               0x7FFFFFFF};
    for (PF_Cmd cmd : commands) {
        SCOPED_TRACE("cmd " + std::to_string(cmd));
        Host host(nullptr, HostApp::kAfterEffects);
        std::memset(&host.out_data(), 0x5A, sizeof(PF_OutData));
        PF_OutData before;
        std::memcpy(&before, &host.out_data(), sizeof before);

        EXPECT_EQ(Call(cmd, host), PF_Err_NONE);
        EXPECT_EQ(std::memcmp(&before, &host.last_out_data(), sizeof before), 0);
        EXPECT_TRUE(host.suites().calls_of_last_command().empty());
        EXPECT_EQ(host.add_param_calls(), 0);
        EXPECT_TRUE(host.sprintf_formats().empty());
    }
}

TEST(EntryPoint, RoutesTheShellAndParameterCommands) {
    {
        Host host(nullptr, HostApp::kAfterEffects);
        EXPECT_EQ(Call(PF_Cmd_ABOUT, host), PF_Err_NONE);
        EXPECT_EQ(std::string(host.last_out_data().return_msg).rfind("Zonara v1.2\r", 0), 0u);
    }
    {
        Host host(nullptr, HostApp::kAfterEffects);
        EXPECT_EQ(Call(PF_Cmd_GLOBAL_SETUP, host), PF_Err_NONE);
        EXPECT_EQ(host.last_out_data().my_version, 0x00090001u);
    }
    {
        Host host(nullptr, HostApp::kAfterEffects);
        EXPECT_EQ(Call(PF_Cmd_PARAMS_SETUP, host), PF_Err_NONE);
        EXPECT_EQ(host.declared_params().size(), 47u);
        EXPECT_EQ(host.last_out_data().num_params, 48);
    }
    {
        Host host(nullptr, HostApp::kAfterEffects);
        host.faults().add_param_fail_on_call = 3;
        host.faults().add_param_fail_code = PF_Err_OUT_OF_MEMORY;
        EXPECT_EQ(Call(PF_Cmd_PARAMS_SETUP, host), PF_Err_OUT_OF_MEMORY);
    }
}

// The smart commands without their extra records (or with their tables
// missing) are damaged calls: an error code, no suite taken, nothing written.
TEST(EntryPoint, SmartCommandsWithoutTheirRecordsAnswerAnError) {
    PF_PreRenderInput pre_input{};
    PF_PreRenderOutput pre_output{};
    PF_PreRenderCallbacks pre_callbacks{};
    PF_PreRenderExtra pre_no_output{&pre_input, nullptr, &pre_callbacks};
    PF_PreRenderExtra pre_no_table{&pre_input, &pre_output, nullptr};
    PF_SmartRenderInput input{};
    PF_SmartRenderCallbacks callbacks{};
    PF_SmartRenderExtra render_no_input{nullptr, &callbacks};
    PF_SmartRenderExtra render_no_data{&input, &callbacks};  // no pre-render data, no callbacks
    const struct {
        PF_Cmd cmd;
        void *extra;
    } cases[] = {{PF_Cmd_SMART_PRE_RENDER, nullptr},       {PF_Cmd_SMART_PRE_RENDER, &pre_no_output},
                 {PF_Cmd_SMART_PRE_RENDER, &pre_no_table}, {PF_Cmd_SMART_RENDER, nullptr},
                 {PF_Cmd_SMART_RENDER, &render_no_input},  {PF_Cmd_SMART_RENDER, &render_no_data}};
    for (const auto &c : cases) {
        SCOPED_TRACE("cmd " + std::to_string(c.cmd));
        Host host(nullptr, HostApp::kAfterEffects);
        std::memset(&host.out_data(), 0x5A, sizeof(PF_OutData));
        PF_OutData before;
        std::memcpy(&before, &host.out_data(), sizeof before);
        EXPECT_EQ(host.SendTo(EntryPointFunc, c.cmd, nullptr, c.extra), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(std::memcmp(&before, &host.last_out_data(), sizeof before), 0);
        EXPECT_TRUE(host.suites().calls_of_last_command().empty());
    }
}

TEST(EntryPoint, MissingRecordsAreRefusedNotDereferenced) {
    Host host(nullptr, HostApp::kAfterEffects);
    for (PF_Cmd cmd : {PF_Cmd_ABOUT, PF_Cmd_GLOBAL_SETUP, PF_Cmd_PARAMS_SETUP, PF_Cmd_RENDER, PF_Cmd_EVENT}) {
        host.SendTo(
            [](PF_Cmd command, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **, PF_LayerDef *, void *) {
                EXPECT_EQ(EntryPointFunc(command, nullptr, out_data, nullptr, nullptr, nullptr),
                          PF_Err_BAD_CALLBACK_PARAM);
                EXPECT_EQ(EntryPointFunc(command, in_data, nullptr, nullptr, nullptr, nullptr),
                          PF_Err_BAD_CALLBACK_PARAM);
                EXPECT_EQ(EntryPointFunc(command, nullptr, nullptr, nullptr, nullptr, nullptr),
                          PF_Err_BAD_CALLBACK_PARAM);
                return PF_Err_NONE;
            },
            cmd);
        EXPECT_TRUE(host.suites().calls_of_last_command().empty());
    }
}

// A missing suite ends the command with its code, after the suites already
// taken have been given back.
TEST(EntryPoint, MissingSuiteBecomesTheResult) {
    {
        Host host(nullptr, HostApp::kAfterEffects);
        host.suites().Refuse(kPFANSISuite);
        EXPECT_EQ(Call(PF_Cmd_ABOUT, host), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_STREQ(host.last_out_data().return_msg, "");
        EXPECT_TRUE(host.suites().BalancedSinceLastCommand());
        EXPECT_FALSE(host.exception_escaped());
    }
    {
        Host host(nullptr, HostApp::kAfterEffects);
        host.faults().no_basic_suite = true;
        EXPECT_EQ(Call(PF_Cmd_ABOUT, host), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_STREQ(host.last_out_data().return_msg, "");
    }
}

struct DrawingFailure : std::exception {
    int32_t code = 99;
};

struct NotAnException {};

TEST(HandlerGuard, MapsEveryKindOfThrowToAResult) {
    const struct {
        const char *label;
        PF_Err (*handler)();
        PF_Err expected;
    } cases[] = {
        {"result passes through", [] { return PF_Err{7}; }, 7},
        {"integer code", []() -> PF_Err { throw PF_Err{PF_Err_BAD_CALLBACK_PARAM}; }, PF_Err_BAD_CALLBACK_PARAM},
        {"other integer code", []() -> PF_Err { throw PF_Err{-42}; }, -42},
        {"out of memory", []() -> PF_Err { throw std::bad_alloc(); }, PF_Err_OUT_OF_MEMORY},
        {"array too long", []() -> PF_Err { throw std::bad_array_new_length(); }, PF_Err_OUT_OF_MEMORY},
        {"drawing failure", []() -> PF_Err { throw DrawingFailure(); }, PF_Err_INTERNAL_STRUCT_DAMAGED},
        {"standard exception", []() -> PF_Err { throw std::runtime_error("x"); }, PF_Err_INTERNAL_STRUCT_DAMAGED},
        {"not an exception class", []() -> PF_Err { throw NotAnException(); }, PF_Err_INTERNAL_STRUCT_DAMAGED},
        {"wider integer", []() -> PF_Err { throw 5LL; }, PF_Err_INTERNAL_STRUCT_DAMAGED},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(zonara::RunHandlerGuarded(c.handler), c.expected) << c.label;
    }
}

int SprintfThrowingBadAlloc(A_char *, const A_char *, ...) { throw std::bad_alloc(); }
int SprintfThrowingDrawingFailure(A_char *, const A_char *, ...) { throw DrawingFailure(); }

// Exceptions raised inside a host callback travel back through the handler
// and are mapped at the entry point, with the suites given back.
TEST(EntryPoint, ExceptionsFromInsideAHandlerAreMapped) {
    const struct {
        const char *label;
        int (*sprintf)(A_char *, const A_char *, ...);
        PF_Err expected;
    } cases[] = {
        {"bad_alloc", &SprintfThrowingBadAlloc, PF_Err_OUT_OF_MEMORY},
        {"std::exception", &SprintfThrowingDrawingFailure, PF_Err_INTERNAL_STRUCT_DAMAGED},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        Host host(nullptr, HostApp::kAfterEffects);
        PF_ANSICallbacksSuite1 throwing_ansi = host.ansi_suite();
        throwing_ansi.sprintf = c.sprintf;
        host.suites().Register(kPFANSISuite, 1, &throwing_ansi);
        EXPECT_EQ(Call(PF_Cmd_ABOUT, host), c.expected);
        EXPECT_FALSE(host.exception_escaped());
        EXPECT_EQ(zonara_test::UseOf(host, kPFANSISuite).acquired, 1);
        EXPECT_EQ(zonara_test::UseOf(host, kPFANSISuite).released, 1);
    }
}

}  // namespace
