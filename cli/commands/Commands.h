#pragma once
// The commands of dazavu, each in a file of its own under commands/ (write
// and verify share one, show and diff another). Each checks its options and
// arguments, runs and ends with Finish or Refuse; each returns the exit
// status. With p_bProgress a command on more than one printer shows its
// progress on standard error.
#include "Options.h"

namespace cli {

int Status(const Options& p_objOptions, bool p_bProgress);
int Read(const Options& p_objOptions, bool p_bProgress);
// write with p_bWrite (and --verify to check afterwards), verify without.
int Write(const Options& p_objOptions, bool p_bProgress, bool p_bWrite);
int Show(const Options& p_objOptions);
int Diff(const Options& p_objOptions);
int Maintenance(const Options& p_objOptions, bool p_bProgress);
int Discover(Options p_objOptions, bool p_bProgress);
// set (CAPTION=VALUE words) and apply (a profile): the named settings only.
int Set(const Options& p_objOptions, bool p_bProgress);
int Apply(const Options& p_objOptions, bool p_bProgress);
// Each printer its own files from a folder, as write writes them.
int Restore(const Options& p_objOptions, bool p_bProgress);
// The backup runs, oldest first.
int Backups(const Options& p_objOptions);
// The settings by caption with the values they take.
int Captions(const Options& p_objOptions);
// check: one printer in the monitoring-plugins convention; exit 0 to 3.
int Check(const Options& p_objOptions);
// exporter: the Prometheus exporter, until stopped (cli/exporter/).
int Exporter(const Options& p_objOptions);

}  // namespace cli
