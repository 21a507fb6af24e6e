#pragma once
// Why a J-Link job failed, as a value beside its diagnostics: whoever shows
// the job decides from it what to tell the user, without reading the text.

enum class JLinkFailure {
    None,
    ImageMissing,       // the image file is not there (a message said so)
    ToolMissing,        // the tool is not there (a message said so)
    ImageNotLoaded,     // the image did not load (the starter said why)
    NoTempFolder,       // no private folder for the work files
    WorkFolderBusy,      // another job still runs in the temporary folder (a message said so)
    CopyFailed,         // the MAC-patched copy could not be written
    WorkFilesFailed,     // the pieces, the flash loader or the script could not be written
    ToolDidNotStart,    // the tool could not be started or followed
    ToolReportedError,  // the tool printed its error marker
    TimedOut,           // the tool ran past its time limit and was terminated
    Crashed,            // the tool died of a signal
    ExitedNonZero,      // the tool ended with an error code
    NoPieceLoaded,      // the tool ended without loading a single piece
};
