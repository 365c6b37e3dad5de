// The application object: the framework calls InitInstance once after the
// process-wide objects exist; returning false ends the program without a message
// loop of its own (a dialog application runs everything inside its dialog).
#pragma once

namespace fw {

class CWinApp {
 public:
  virtual ~CWinApp() = default;
  virtual bool InitInstance() { return false; }
  virtual int ExitInstance() { return 0; }
};

// What the program's entry point runs: start-up, then exit processing.
inline int RunApplication(CWinApp& app) {
  app.InitInstance();
  return app.ExitInstance();
}

}  // namespace fw
