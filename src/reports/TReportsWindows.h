#pragma once

#include <memory>

class TAboutForm;
class TBookExport;
class TfrmReportsSelect;
class TfrMain;
class TfrSettings;
class Tfr_option_params;

// The settings, about and parameter-merge windows, made once, and their places in the main window.
class TReportsWindows {
public:
    explicit TReportsWindows(TfrMain& mainWindow);
    ~TReportsWindows();

    TfrSettings& settings() { return *m_settings; }
    TAboutForm& about() { return *m_about; }
    Tfr_option_params& optionParams() { return *m_optionParams; }
    TBookExport& bookExport() { return *m_bookExport; }
    TfrmReportsSelect& reportsSelect() { return *m_reportsSelect; }

private:
    std::unique_ptr<TfrSettings> m_settings;
    std::unique_ptr<TAboutForm> m_about;
    std::unique_ptr<Tfr_option_params> m_optionParams;
    std::unique_ptr<TBookExport> m_bookExport;
    std::unique_ptr<TfrmReportsSelect> m_reportsSelect;
};
