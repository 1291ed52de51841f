// TTestPrinter: a printer for tests - a page of known size and resolution, device settings that
// are kept as applied, and every printed page recorded on a test canvas.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Printer.h"
#include "platform/TestCanvas.h"

namespace xq::test {

class TTestPrinter : public TRVPrinter {
public:
    /// A sheet width x height printer pixels at dpi, with a border of offset pixels all round.
    explicit TTestPrinter(int width = 600, int height = 300, int dpi = 96, int offset = 0)
    {
        Metrics.DpiX = Metrics.DpiY = dpi;
        Metrics.PhysicalWidth = width;
        Metrics.PhysicalHeight = height;
        Metrics.OffsetX = Metrics.OffsetY = offset;
        Metrics.PrintableWidth = width - 2 * offset;
        Metrics.PrintableHeight = height - 2 * offset;
    }

    [[nodiscard]] std::string Name() const override { return PrinterName; }
    [[nodiscard]] TPrinterPageMetrics PageMetrics() const override { return Metrics; }
    [[nodiscard]] bool HasDeviceSettings() const override { return HasSettings; }
    [[nodiscard]] TPrinterDeviceSettings DeviceSettings() const override { return Settings; }
    void ApplyDeviceSettings(const TPrinterDeviceSettings& settings) override
    {
        Settings = settings;
        ++Applied;
    }

    [[nodiscard]] bool CanCopy() const override { return MakesCopies; }
    [[nodiscard]] int Copies() const override { return CopyCount; }
    void SetCopies(int copies) override
    {
        CopyCount = copies;
        CopiesSet.push_back(copies);
    }

    bool BeginDoc(const std::string& title) override
    {
        if (FailBegin)
            return false;
        Title = title;
        Pages.clear();
        Pages.push_back(std::make_unique<TTestCanvas>(PageCanvasDpi, PageCanvasDpi));
        Printing = true;
        return true;
    }
    void NewPage() override { Pages.push_back(std::make_unique<TTestCanvas>(PageCanvasDpi, PageCanvasDpi)); }
    bool EndDoc() override
    {
        Printing = false;
        ++Jobs;
        return true;
    }
    [[nodiscard]] TCanvas& PageCanvas() override { return *Pages.back(); }
    [[nodiscard]] TCanvas& FormatCanvas() override { return Measure; }

    /// The drawing operations of printed page index (0-based, in the order sent).
    [[nodiscard]] const std::vector<std::string>& PageOps(std::size_t index) const { return Pages.at(index)->Ops(); }

    std::string PrinterName = "Testdrucker";
    TPrinterPageMetrics Metrics;
    bool HasSettings = true;
    TPrinterDeviceSettings Settings;
    int Applied = 0;
    bool MakesCopies = false;
    int CopyCount = 1;
    std::vector<int> CopiesSet;
    bool FailBegin = false;
    bool Printing = false;
    int Jobs = 0;
    std::string Title;
    std::vector<std::unique_ptr<TTestCanvas>> Pages;
    TTestCanvas Measure{PageCanvasDpi, PageCanvasDpi};
};

} // namespace xq::test
