// A printer device for tests: it reports the page and device settings a test gives it, keeps the
// settings applied to it as a real printer would, and records each ApplyDeviceSettings. It prints
// nothing: a print job cannot be started.
#pragma once

#include <string>
#include <vector>

#include "platform/Printer.h"
#include "platform/TestCanvas.h"

namespace xq::test {

class TRecordingPrinter : public TRVPrinter {
public:
    explicit TRecordingPrinter(std::string name = "Drucker A") : Name_(std::move(name)) {}

    [[nodiscard]] std::string Name() const override { return Name_; }
    [[nodiscard]] TPrinterPageMetrics PageMetrics() const override { return Metrics; }
    [[nodiscard]] bool HasDeviceSettings() const override { return HasSettings; }
    [[nodiscard]] TPrinterDeviceSettings DeviceSettings() const override { return Settings; }
    void ApplyDeviceSettings(const TPrinterDeviceSettings& settings) override
    {
        Applied.push_back(settings);
        Settings = settings;
    }

    [[nodiscard]] bool CanCopy() const override { return false; }
    [[nodiscard]] int Copies() const override { return 1; }
    void SetCopies(int) override {}
    bool BeginDoc(const std::string&) override { return false; }
    void NewPage() override {}
    bool EndDoc() override { return false; }
    [[nodiscard]] TCanvas& PageCanvas() override { return Canvas_; }
    [[nodiscard]] TCanvas& FormatCanvas() override { return Canvas_; }

    TPrinterPageMetrics Metrics;
    bool HasSettings = true;
    TPrinterDeviceSettings Settings;
    /// Every settings record applied, oldest first.
    std::vector<TPrinterDeviceSettings> Applied;

private:
    std::string Name_;
    TTestCanvas Canvas_{PageCanvasDpi, PageCanvasDpi};
};

/// A printer with A4, Letter and A5 (paper numbers 9, 1, 11), set to A4 portrait.
inline void OfferOfficePapers(TRecordingPrinter& printer)
{
    printer.Settings.Papers = {{"A4", 9}, {"Letter", 1}, {"A5", 11}};
    printer.Settings.PaperNumber = 9;
    printer.Settings.PaperSizeSet = true;
    printer.Settings.Orientation = 0;
}

} // namespace xq::test
