// zonara render: applies the effect to image files (or the built-in chart)
// through the module, driven exactly as a host drives it, and writes the
// result. Single images and numbered sequences; outputs appear complete or
// not at all.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/base/host_name.h"
#include "tools/base/interrupt_notice.h"
#include "tools/base/message_text.h"
#include "tools/base/pending_output.h"
#include "tools/commands/commands.h"
#include "tools/commands/frame_pattern.h"
#include "tools/commands/frame_pipeline.h"
#include "tools/commands/progress_meter.h"
#include "tools/image/image_file.h"
#include "tools/image/image_geometry.h"
#include "tools/image/matte_view.h"
#include "tools/image/test_chart.h"
#include "tools/image/wipe_view.h"
#include "tools/params/number_option.h"
#include "tools/params/param_values.h"
#include "tools/params/value_sources.h"
#include "tools/params/value_text.h"
#include "tools/scene/frame_region.h"
#include "tools/scene/frame_renderer.h"

namespace zonara_tool {
namespace {

// Beyond this a draft render is a handful of pixels; hosts stop far sooner.
constexpr int MAX_DOWNSAMPLE = 64;
// A failed run's closing line lists this many runs of frames, then a count.
constexpr std::size_t FAILED_RUNS_LISTED = 10;

struct RenderOptions {
    std::string input;
    std::string output;
    ValueSources values;  // --preset, --cdl-inside, --cdl-outside, --set
    std::string host;
    std::string depth;
    std::string par;
    std::string alpha;  // straight, premultiplied, or empty: as the format says
    int downsample = 1;
    bool side_by_side = false;
    bool matte = false;
    bool wipe_given = false;
    std::string wipe;    // X[,ANGLE]; may be empty
    std::string region;  // WxH+X+Y; empty: the whole frame
    std::string frames;
};

// Unset without --par: each file's own pixel aspect is used.
std::optional<PF_RationalScale> ParsePixelAspect(const std::string &text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const std::size_t slash = text.find('/');
    long num = 0;
    long den = 1;
    const std::string_view whole(text);
    if (!ParseInteger(whole.substr(0, slash), num) ||
        (slash != std::string::npos && !ParseInteger(whole.substr(slash + 1), den))) {
        throw UsageError("--par " + QuotedForMessage(text) + ": expected NUM/DEN, e.g. 2/1 or 10/11");
    }
    if (num < 1 || den < 1 || num > 100000 || den > 100000) {
        throw UsageError("--par " + QuotedForMessage(text) + ": both numbers must lie between 1 and 100000");
    }
    return PF_RationalScale{static_cast<A_long>(num), static_cast<A_u_long>(den)};
}

FormatRequest ParseFormatRequest(const RenderOptions &options) {
    FormatRequest request;
    if (!options.host.empty()) {
        request.app = ParseHostApp(options.host);
    }
    if (options.depth == "8") {
        request.depth = SampleDepth::INT8;
    } else if (options.depth == "16") {
        request.depth = SampleDepth::INT16;
    } else if (options.depth == "float") {
        request.depth = SampleDepth::FLOAT32;
    }
    return request;
}

bool SamePath(const std::string &a, const std::string &b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) {
        return true;
    }
    const auto canonical_a = std::filesystem::weakly_canonical(a, error);
    const auto canonical_b = std::filesystem::weakly_canonical(b, error);
    return !error && canonical_a == canonical_b;
}

// The image at `path`, refused naming the file when it holds no colour the
// effect could grade (an OpenEXR of depth or position channels alone). With
// --alpha its colour is taken as the user says, whatever its format implies.
Image ReadForGrading(const std::string &path, const RenderOptions &options) {
    Image image = ReadImage(path);
    try {
        ColourChannelsOf(image);
    } catch (const ToolError &error) {
        throw UsageError(path + ": " + error.what());
    }
    if (!options.alpha.empty()) {
        image.alpha_association =
            options.alpha == "premultiplied" ? AlphaAssociation::kPremultiplied : AlphaAssociation::kStraight;
    }
    return image;
}

// The closing line of a sequence the machine stopped at jobs[stopped_at]:
// what was written, what was not, and what failed before (the frame
// numbers, not the positions: those are the files' names).
std::string StoppedRunText(const std::vector<FrameJob> &jobs, std::size_t stopped_at, const std::vector<int> &written,
                           const std::vector<int> &failed_before) {
    std::vector<int> not_written;
    for (std::size_t i = stopped_at; i < jobs.size(); ++i) {
        not_written.push_back(jobs[i].frame);
    }
    std::string text = "stopped at frame " + std::to_string(jobs[stopped_at].frame) + " (" +
                       std::to_string(stopped_at + 1) + " of " + std::to_string(jobs.size()) +
                       ") as the machine failed; written: " +
                       (written.empty() ? std::string("none") : FrameListText(written, FAILED_RUNS_LISTED)) +
                       "; not written: " + FrameListText(not_written, FAILED_RUNS_LISTED);
    if (!failed_before.empty()) {
        text += "; failed before it: " + FrameListText(failed_before, FAILED_RUNS_LISTED);
    }
    return text;
}

class RenderCommand {
public:
    RenderCommand(ToolContext &context, const RenderOptions &options) : context_(context), options_(options) {}

    void Run() {
        InstallInterruptCleanup();
        PlanFrames();
        // Said first: an output that is the input is refused as such, even
        // where it would be refused as read-only or hard-linked too (a
        // sequence says so for each frame).
        if (!sequence_) {
            RequireDistinctOutput(jobs_.front());
        }
        // The first output into each folder: a pattern may name a folder a
        // frame (shot/%04d/f.exr), and one that was never there is the
        // command's to fix, not a failure of the machine met halfway.
        std::set<std::filesystem::path> folders;
        for (const FrameJob &job : jobs_) {
            if (folders.insert(std::filesystem::path(job.output).parent_path()).second) {
                CheckOutputPath(job.output);
            }
        }
        const std::optional<PF_RationalScale> pixel_aspect = ParsePixelAspect(options_.par);
        if (options_.downsample < 1 || options_.downsample > MAX_DOWNSAMPLE) {
            throw UsageError("--downsample must lie between 1 and " + std::to_string(MAX_DOWNSAMPLE));
        }

        if (options_.wipe_given) {
            if (options_.matte || options_.side_by_side) {
                throw UsageError(
                    "--wipe shows source and result in one frame; it goes with neither --matte "
                    "nor --side-by-side");
            }
            wipe_ = ParseWipe(options_.wipe);
        }

        std::optional<PixelWindow> region;
        if (!options_.region.empty()) {
            if (options_.wipe_given || options_.side_by_side) {
                throw UsageError(
                    "--region renders a part of the frame; it goes with neither --wipe nor --side-by-side");
            }
            region = ParseRegion(options_.region, "--region");
        }

        RenderSettings settings;
        settings.region = region;
        const FormatRequest request = ParseFormatRequest(options_);
        settings.format = ChooseHostFormat(request, SourceKind());
        // The first frame chooses the host; each frame then renders in its
        // own depth there, unless --depth names one for all, and a float
        // frame goes to the editing host unless --host names one.
        settings.depth_per_frame = !request.depth.has_value();
        settings.host_per_frame = !request.depth && !request.app;
        settings.pixel_aspect = pixel_aspect;
        settings.downsample = options_.downsample;
        // The matte and the wipe place the source themselves.
        settings.side_by_side = options_.side_by_side && !options_.matte;

        auto host = context_.StartHost(settings.format.app);
        const ParamCatalog catalog(host->declared_params());
        settings.values = ReadValues(options_.values, catalog);
        if (options_.matte) {
            const std::vector<ParamValue> matte = MatteGradeValues();
            settings.values.insert(settings.values.end(), matte.begin(), matte.end());
        }
        FrameRenderer renderer(std::move(host), std::move(settings),
                               [this](testhost::HostApp app) { return context_.StartHost(app); });

        if (!sequence_) {
            RenderOne(renderer, jobs_.front());
        } else {
            RenderSequence(renderer);
        }
        if (const std::string notice = renderer.clamp_count().Notice(); !notice.empty()) {
            std::cerr << "zonara: note: " << notice << "\n";
        }
        std::cerr << "zonara: " << written_ << "\n";
    }

private:
    void PlanFrames() {
        if (options_.output.empty()) {
            throw UsageError("no output given (-o OUTPUT)");
        }
        const auto input_pattern = options_.input.empty() ? std::nullopt : FramePattern::Parse(options_.input);
        const auto output_pattern = FramePattern::Parse(options_.output);
        if (input_pattern && !output_pattern) {
            throw UsageError("the input is a sequence; OUTPUT needs a frame number too, e.g. out.%04d.png");
        }
        if (output_pattern.has_value() != !options_.frames.empty()) {
            throw UsageError(output_pattern ? "OUTPUT names a sequence; say which frames with --frames FIRST-LAST"
                                            : "--frames needs OUTPUT with a frame number, e.g. out.%04d.png");
        }
        const std::string single_input = options_.input.empty() ? "" : UnescapePercent(options_.input);
        if (!output_pattern) {
            jobs_.push_back({0, single_input, UnescapePercent(options_.output)});
            return;
        }
        sequence_ = true;
        const std::vector<int> frames = ParseFrameList(options_.frames);
        jobs_.reserve(frames.size());
        for (const int frame : frames) {
            jobs_.push_back(
                {frame, input_pattern ? input_pattern->Format(frame) : single_input, output_pattern->Format(frame)});
        }
    }

    // The kind of the first readable input decides the host for the whole
    // run; an unreadable single input is reported here already.
    SampleKind SourceKind() {
        if (options_.input.empty()) {
            return SampleKind::INT8;  // the chart
        }
        if (!sequence_) {
            first_image_ = ReadForGrading(jobs_.front().input, options_);
            return first_image_->kind;
        }
        for (const FrameJob &job : jobs_) {
            if (const auto kind = PeekSampleKind(job.input)) {
                return *kind;
            }
        }
        // Why the first cannot be read is, most often, why none can.
        std::string reason;
        try {
            ReadImage(jobs_.front().input);
        } catch (const ToolError &error) {
            reason = std::string(": the first, ") + error.what();
        }
        throw UsageError("none of the " + std::to_string(jobs_.size()) + " input frames can be read (" +
                         options_.input + ")" + reason);
    }

    Image Source(const FrameJob &job) {
        if (job.input.empty()) {
            return MakeTestChart();
        }
        if (first_image_) {
            Image image = std::move(*first_image_);
            first_image_.reset();
            return image;
        }
        return ReadForGrading(job.input, options_);
    }

    void RequireDistinctOutput(const FrameJob &job) {
        if (!job.input.empty() && SamePath(job.input, job.output)) {
            throw UsageError(job.output + ": the output would overwrite the input");
        }
    }

    void RenderOne(FrameRenderer &renderer, const FrameJob &job) {
        RequireDistinctOutput(job);
        const Image result = RenderView(renderer, Source(job), job.input);
        written_ = "wrote " + job.output + ": " + WriteImage(job.output, result);
    }

    // What the user asked to see of the frame: the graded result (beside
    // the source with --side-by-side), the matte, or the wipe. `name` is
    // the source's file (empty: the chart).
    Image RenderView(FrameRenderer &renderer, Image source, const std::string &name) const {
        if (options_.matte) {
            Image matte = renderer.Render(MatteLayer(source), name);
            if (!options_.side_by_side) {
                return matte;
            }
            return SideBySide(ReduceForDraft(source, options_.downsample), matte);
        }
        if (!wipe_) {
            return renderer.Render(std::move(source), name);
        }
        const int full_width = source.width;
        const int full_height = source.height;
        Image before = ReduceForDraft(source, options_.downsample);
        Image graded = renderer.Render(std::move(source), name);
        return ComposeWipe(before, graded, *wipe_, full_width, full_height, options_.downsample);
    }

    void RenderSequence(FrameRenderer &renderer) {
        const int total = static_cast<int>(jobs_.size());
        const bool bar = StderrIsTerminal();
        ProgressMeter meter(total, stderr, bar);
        std::vector<int> failed;
        std::vector<int> written;
        int worst = EXIT_OK;
        int done = 0;
        SetInterruptProgress(0, total, jobs_.front().frame, false);
        FrameStages stages;
        stages.read = [&](const FrameJob &job) {
            RequireDistinctOutput(job);
            return job.input.empty() ? MakeTestChart() : ReadForGrading(job.input, options_);
        };
        stages.render = [&](const FrameJob &job, Image source) {
            return RenderView(renderer, std::move(source), job.input);
        };
        stages.write = [](const FrameJob &job, const Image &result) { WriteImage(job.output, result); };
        stages.report = [&](const FrameJob &job, const std::optional<FrameFailure> &failure) {
            ++done;
            if (!failure) {
                written.push_back(job.frame);
                meter.FrameDone(job.frame, true, job.output);
            } else {
                failed.push_back(job.frame);
                worst = std::max(worst, failure->exit_status);
                meter.FrameDone(job.frame, false, failure->message);
            }
            const int next = done < total ? jobs_[static_cast<std::size_t>(done)].frame : job.frame;
            SetInterruptProgress(std::min(done, total - 1), total, next, bar);
        };
        const std::size_t reported = RunFramePipeline(jobs_, stages);
        meter.Finish();
        SetInterruptProgress(0, 0, 0, false);
        if (reported < jobs_.size()) {
            // The machine failed (a full disk, say): the run stopped at the
            // frame that met it, and a retry of the same command may finish.
            failed.pop_back();  // the frame it stopped at
            throw SystemError(StoppedRunText(jobs_, reported - 1, written, failed));
        }
        if (!failed.empty()) {
            // Each failure was reported as it happened; this is the count
            // and where to look.
            std::sort(failed.begin(), failed.end());
            throw ToolError(worst, std::to_string(failed.size()) + " of " + std::to_string(jobs_.size()) +
                                       " frames failed: " + FrameListText(failed, FAILED_RUNS_LISTED));
        }
        written_ = "wrote " + std::to_string(total) + (total == 1 ? " frame: " : " frames: ") + options_.output + " (" +
                   FrameListText(written, FAILED_RUNS_LISTED) + ")";
    }

    ToolContext &context_;
    const RenderOptions &options_;
    std::vector<FrameJob> jobs_;
    bool sequence_ = false;
    std::optional<Image> first_image_;
    std::optional<WipeLine> wipe_;
    std::string written_;  // the closing line: what the run wrote
};

}  // namespace

void AddRenderCommand(CLI::App &app, ToolContext &context) {
    auto options = std::make_shared<RenderOptions>();
    CLI::App *render = app.add_subcommand("render", "Apply the effect to an image, a sequence or the test chart");
    render->add_option("INPUT", options->input,
                       std::string("Image to grade (") + IMAGE_FORMATS_TEXT +
                           "); a frame number such as %04d makes it a sequence. Without it, a built-in 1920x1080 "
                           "test chart");
    render->add_option("-o,--output", options->output, "Where to write; the extension chooses the format")->required();
    AddValueOptions(*render, options->values);
    render->add_option("--host", options->host, "ae (compositing) or premiere (editing); default: by input depth")
        ->check(CLI::IsMember(HostNames()));
    render->add_option("--depth", options->depth, "8, 16 or float; default: each frame's own")
        ->check(CLI::IsMember({"8", "16", "float"}));
    render->add_option("--par", options->par,
                       "Pixel aspect ratio of the layer, NUM/DEN (default: the file's own, else 1/1)");
    render
        ->add_option(
            "--alpha", options->alpha,
            std::string("straight or premultiplied: how the input stores colour beside alpha "
                        "(default: as its format says; ") +
                (HAVE_IMAGE_LIBRARY ? "OpenEXR premultiplied, PNG straight, TIFF and DPX as marked)" : "PAM straight)"))
        ->check(CLI::IsMember({"straight", "premultiplied"}));
    CLI::Option *downsample =
        render->add_option("--downsample", options->downsample, "Render at 1/N resolution, as a host's draft mode")
            ->transform(WholeNumber("1 to " + std::to_string(MAX_DOWNSAMPLE)));
    if (!HAVE_IMAGE_LIBRARY) {
        // Resampled by the image library: this build refuses it, saying
        // why, and its help does not offer it.
        downsample->group("");
    }
    render->add_option(
        "--region", options->region,
        std::string("WxH+X+Y: render only this part of the frame, as a host asks for a region of "
                    "interest; ") +
            (HAVE_IMAGE_LIBRARY ? "OpenEXR keeps the part alone at its place, other formats write the frame black "
                                  "around it"
                                : "the frame is written black around it"));
    render->add_flag("--side-by-side", options->side_by_side, "Write the source and the result side by side");
    render->add_flag("--matte", options->matte,
                     "Write the window's weight as a grey picture (white: inside grade, black: outside) "
                     "instead of the result");
    CLI::Option *wipe =
        render
            ->add_option("--wipe", options->wipe,
                         "X[,ANGLE]: the source left of a line through frame x = X (default the centre; angle 0 "
                         "is vertical, positive turns it clockwise), the result right of it")
            ->expected(0, 1);
    render->add_option("--frames", options->frames,
                       "Frames of a sequence: FIRST-LAST, FIRST-LASTxSTEP, N, or a comma list of them (1,3,5-7)");
    render->callback([&context, options, wipe] {
        options->wipe_given = wipe->count() > 0;
        context.Run([&] { RenderCommand(context, *options).Run(); });
    });
}

}  // namespace zonara_tool
