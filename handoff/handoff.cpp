#include "handoff/handoff.h"

#include <shellapi.h>

#include "conversation/conversation_writer.h"
#include "handoff/art_step.h"
#include "handoff/chat_program.h"
#include "handoff/format_fits.h"
#include "handoff/mapi_mail.h"
#include "handoff/strip_pictures.h"
#include "resources/texts.h"
#include "settings/settings_store.h"

namespace {

// Fixed waits instead of any handshake with the outside programs.
const DWORD kWaitBeforeShowMs = 1000;     // lets the new file settle before Chat opens it
const DWORD kWaitBetweenStartsMs = 500;   // lets the mail program come up before the script runs

const size_t kDisplayPathCapacity = 256;
const size_t kMailPathCapacity = 1024;
const size_t kCommandLineCapacity = 256;

// Becky!'s install folder, read at each mail creation for Becky!; it keeps
// its content for the run when the key is missing.
char g_beckyFolder[kFolderCapacity];

const char* ConversationFolder(const Settings& settings)
{
    return settings.MailSoft == OtherMailer ? settings.DesktopFolder : settings.WorkFolder;
}

void ShowCannotWrite(HWND owner, const Settings& settings)
{
    std::string message = kCannotWriteConversation;
    message += ConversationFolder(settings);
    message += "\\Mirth.ccc";
    MessageBoxA(owner, message.c_str(), kMessageCaption, MB_OK | MB_ICONERROR);
}

// The shell's answers that mean no program is associated with the file, or
// the one associated could not be started: Chat, if the user has it, is
// unpacked somewhere without an association.
bool NoViewer(HINSTANCE shellResult)
{
    switch (reinterpret_cast<INT_PTR>(shellResult)) {
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_FNF:
    case SE_ERR_PNF:
    case SE_ERR_ACCESSDENIED:
    case ERROR_BAD_FORMAT:
        return true;
    }
    return false;
}

// Starts a command line, found by the platform's program search.
void Start(char* commandLine)
{
    STARTUPINFOA startup = {sizeof startup};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process;
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void StartScriptRunner(const char* script)
{
    char commandLine[kCommandLineCapacity];
    if (FormatFits(commandLine, sizeof commandLine, "mtrun %s", script))
        Start(commandLine);
}

AfterMail PrepareOutlookExpressMail(HWND owner, const char* script)
{
    ShellExecuteA(owner, "open", "mailto:", nullptr, nullptr, SW_SHOWNORMAL);
    Sleep(kWaitBetweenStartsMs);
    StartScriptRunner(script);
    return AfterMail::StoreDescription;
}

// The path is quoted: Becky!'s folder usually has blanks in it.
bool FormatBeckyCommandLine(char* commandLine)
{
    ReadString(HKEY_CURRENT_USER, kBeckyKey, kValueInstallPath, g_beckyFolder, kFolderReadCapacity);
    return FormatFits(commandLine, kCommandLineCapacity, "\"%srebecca.exe\" mailto:", g_beckyFolder);
}

AfterMail PrepareBeckyMail(char* commandLine)
{
    Start(commandLine);
    Sleep(kWaitBetweenStartsMs);
    StartScriptRunner("b1x.pcd");
    return AfterMail::StoreDescription;
}

// The program ends after the notice: the user goes on in the mail program.
AfterMail LeaveOnDesktop(HWND owner, const std::vector<std::string>& pictures)
{
    std::string notice = kAttachYourselfNotice;
    if (!pictures.empty())
        notice += kAttachPicturesToo + PictureNames(pictures);
    MessageBoxA(owner, notice.c_str(), kMessageCaption, MB_OK);
    return AfterMail::StoreDescriptionAndClose;
}

// The art step, then the conversation file for the display test or the
// picture command, in the display test's folder; false after telling the user
// when it can't be written.
bool WriteForDisplay(HWND owner, const Settings& settings, const std::string& body, char* path)
{
    FetchMissingArt(owner, settings);
    if (FormatFits(path, kDisplayPathCapacity, "%s\\Mirth.ccc", ConversationFolder(settings)) &&
        WriteConversationFile(path, settings, body.data(), body.size()))
        return true;
    ShowCannotWrite(owner, settings);
    return false;
}

void TellPicturesNeedArt(HWND owner, const std::vector<std::string>& missingArt)
{
    std::string message = kPicturesNeedArt;
    for (const std::string& file : missingArt)
        message += "    " + file + "\n";
    message += kPicturesNeedArtEnd;
    MessageBoxA(owner, message.c_str(), kMessageCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

void DisplayTest(HWND owner, const Settings& settings, const std::string& body)
{
    char path[kDisplayPathCapacity];
    if (!WriteForDisplay(owner, settings, body, path))
        return;
    MakeStripPictures(owner, path);
    Sleep(kWaitBeforeShowMs);
    HINSTANCE result = ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
    if (NoViewer(result))
        OpenWithChosenChat(owner, path);
}

AfterMail CreateMail(HWND owner, const Settings& settings, const MailTexts& texts)
{
    // The file must not change under a mail program that is still attaching it.
    if (settings.MailSoft == DefaultMapiMailer && MapiMailPending()) {
        MessageBoxA(owner, kMailStillOpen, kMessageCaption, MB_OK | MB_ICONINFORMATION);
        return AfterMail::Nothing;
    }
    if (MessageBoxA(owner, kConfirmCreateMail, kMessageCaption, MB_YESNO) != IDYES)
        return AfterMail::Nothing;
    FetchMissingArt(owner, settings);
    char path[kMailPathCapacity];
    char beckyCommandLine[kCommandLineCapacity];
    // Becky!'s command line is checked first, so a refused one leaves no new file.
    bool fits = FormatFits(path, sizeof path, "%s\\Mirth.ccc", ConversationFolder(settings)) &&
                (settings.MailSoft != Becky124 || FormatBeckyCommandLine(beckyCommandLine));
    if (!fits || !WriteConversationFile(path, settings, texts.body.data(), texts.body.size())) {
        ShowCannotWrite(owner, settings);
        return AfterMail::Nothing;
    }
    std::vector<std::string> attachments = MakeStripPictures(owner, path);
    std::vector<std::string> pictures = attachments;
    attachments.insert(attachments.begin(), path);
    switch (settings.MailSoft) {
    case OtherMailer: return LeaveOnDesktop(owner, pictures);
    case OutlookExpress501: return PrepareOutlookExpressMail(owner, "oe501.pcd");
    case OutlookExpress50: return PrepareOutlookExpressMail(owner, "oe5x.pcd");
    case Becky124: return PrepareBeckyMail(beckyCommandLine);
    case DefaultMapiMailer:
        return StartMapiMail(owner, attachments, texts.subject, texts.description) ? AfterMail::StoreDescription
                                                                                   : AfterMail::Nothing;
    default: return AfterMail::Nothing;  // an unknown kind: the file is written, nothing is started
    }
}

void ShowStripPicture(HWND owner, const Settings& settings, const std::string& body)
{
    char path[kDisplayPathCapacity];
    if (!WriteForDisplay(owner, settings, body, path))
        return;
    std::vector<std::string> missingArt;
    std::vector<std::string> pictures = MakeStripPictures(owner, path, &missingArt);
    if (!missingArt.empty())
        TellPicturesNeedArt(owner, missingArt);
    if (pictures.empty())
        return;
    HINSTANCE shown = ShellExecuteA(owner, "open", pictures.front().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(shown) <= 32)
        MessageBoxA(owner, (kCannotShowPicture + pictures.front()).c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}
