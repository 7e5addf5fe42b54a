#include "HelpTexts.h"

namespace {

const char* const kTargets =
    "Printers:\n"
    "  --lan HOST[:PORT]        a LAN printer (port 8000 when omitted); repeatable. HOST is a\n"
    "                           host name, an IPv4 address or an IPv6 address ([::1]:8000)\n"
    "  --hosts FILE             one HOST[:PORT] a line (its first tab-separated column);\n"
    "                           blank lines and # comments skipped; - for standard input\n"
    "  --com N                  serial port COM1 to COM9, the window's COM N\n"
    "  --serial DEVICE          a serial device such as /dev/ttyUSB0\n"
    "  --serial-settings S      speed,parity,data bits,stop bits (default 9600,E,8,1)\n"
    "  --usb                    the USB printer\n"
    "  --usb-library PATH       the USB transfer library to load (default: beside dazavu)\n"
    "  --timeout SECONDS        wait for each reply at most this long (default 2)\n"
    "  --jobs N                 at most N printers at a time (default 512)\n"
    "  --json                   one JSON document on standard output\n"
    "  --                       ends the options\n";

const char* const kWriting =
    "Before writing, each printer's settings are saved to BACKUP_DIR/YYYY-MM-DDTHHMMSSZ/\n"
    "HOST_PORT.dt1 and .dt2 with a manifest.json; a printer whose backup fails is not written.\n"
    "  --backup-dir DIR         BACKUP_DIR (default $XDG_STATE_HOME/dazavu/backups,\n"
    "                           ~/.local/state/dazavu/backups without XDG_STATE_HOME)\n"
    "  --no-backup              take no backup\n"
    "  --audit-log FILE         one JSON line per printer written (default\n"
    "                           $XDG_STATE_HOME/dazavu/audit.jsonl)\n\n";

const char* const kChanges =
    "Captions and values are those show prints ('FEED ADJ.=-1.5', 'CODE 1st=1B'); dazavu captions\n"
    "lists them. A value a setting cannot take, an unknown caption or a setting the printer\n"
    "takes no write for (KB I/F) is refused before any printer is contacted.\n"
    "For each printer: reads the records the settings live in, sends only the write records\n"
    "in which a setting changes (every other field as the printer holds it), reads them back\n"
    "and compares. STOP BIT is written in the Parameter record but never reported: a change\n"
    "of any setting of that record must give it too ('STOP BIT=1bit').\n"
    "Settings of one unit (the Adjustment frame, IP ADDRESS, SUBNET MASK, DEFAULT GATEWAY,\n"
    "DHCP HOST NAME, DHCP CLIENT ID) go to more than one printer only with --per-unit; an\n"
    "IP ADDRESS goes to one printer at a time unless the same command sets DHCP=ON.\n"
    "  --per-unit               allow settings of one unit on many printers\n"
    "  --dry-run                read and report what would change and be sent; send nothing\n"
    "One line per setting changed: target, tab, CAPTION: before -> after; 'unchanged' when\n"
    "a printer already holds every value.\n\n";

const char* const kOverview =
    "Usage: dazavu COMMAND [OPTIONS]\n"
    "\n"
    "Reads, writes, checks and compares the settings of many printers.\n"
    "\n"
    "Commands:\n"
    "  status       the status text and code of each printer\n"
    "  read         the parameter and LAN settings into files, as the window's SAVE writes them\n"
    "  write        settings files to printers, as the window's SET sends them\n"
    "  verify       whether printers hold what settings files carry\n"
    "  diff         the settings that differ between two files or printers\n"
    "  show         every setting of a file or printer, as the window shows it\n"
    "  maintenance  head check, diagnostic and test print, RAM clear, sensor adjustments\n"
    "  discover     the printers of an address range\n"
    "  set          named settings on printers ('SPEED=19200bps'), the rest kept as each holds it\n"
    "  apply        the settings of a profile (the lines show prints) on printers\n"
    "  restore      each printer's own files from a folder (a backup, or read --out-dir)\n"
    "  backups      the backups taken before printers were written\n"
    "  captions     the settings by caption, with the values each takes\n"
    "  check        one printer as a monitoring plugin (Nagios, Icinga, Naemon, Checkmk)\n"
    "  exporter     a Prometheus exporter for the printers on the LAN\n"
    "\n"
    "dazavu COMMAND --help (or dazavu help COMMAND) describes a command; dazavu --version\n"
    "gives the version.\n"
    "Every printer has a row on standard output, failed ones included.\n"
    "Exit status: 0 done, 1 wrong usage, 2 a printer could not be reached or answered\n"
    "wrongly, 3 a difference was found, 4 a settings file was rejected; when printers\n"
    "end differently 2 wins over 4 over 3 over 0. 130 or 143 after SIGINT or SIGTERM:\n"
    "no further printer is started, a write begun is finished. check exits 0 to 3 as\n"
    "monitoring plugins do; exporter runs until SIGINT or SIGTERM.\n";

}  // namespace

QString HelpText(const QString& p_sCommand) {
  QString text;
  if (p_sCommand == QLatin1String("status")) {
    text = QStringLiteral(
        "Usage: dazavu status PRINTERS\n\nOne line a printer: target, tab, status text (- when empty), tab, status "
        "code.\n\n");
  } else if (p_sCommand == QLatin1String("read")) {
    text = QStringLiteral(
        "Usage: dazavu read PRINTERS [--params FILE.dt1] [--lan-settings FILE.dt2] [--out-dir DIR]\n\n"
        "Reads records 0, 1 and 4 (--params) and 3 (--lan-settings) and writes the files the\n"
        "window's SAVE writes. With --out-dir, DIR/HOST_PORT.dt1 and .dt2 (com1, usb); a\n"
        "missing DIR is created. Files are never written through a symbolic link.\n\n");
  } else if (p_sCommand == QLatin1String("write")) {
    text = QStringLiteral(
               "Usage: dazavu write PRINTERS FILE... [--no-verify]\n\n"
               "Reads each file once and checks it whole (a .dt1 holds its 2 lines, a .dt2 its 5,\n"
               "every field a value its setting can hold); nothing is sent when one is rejected.\n"
               "A printer that has answered a status request is sent each file's own lines, then\n"
               "read back and compared: \"written FILE\" when it holds the file. --no-verify skips\n"
               "the read-back: \"sent FILE\". A .dt2 with DHCP off goes to one printer only.\n"
               "--verify is accepted for older scripts.\n\n") +
           QString::fromLatin1(kWriting);
  } else if (p_sCommand == QLatin1String("verify")) {
    text = QStringLiteral(
        "Usage: dazavu verify PRINTERS FILE...\n\n"
        "Reads each printer and lists the settings that differ from the files:\n"
        "target, tab, CAPTION: printer value -> file value. Only the settings a file\n"
        "carries and a printer reports are compared (never KB I/F, never STOP BIT).\n\n");
  } else if (p_sCommand == QLatin1String("set")) {
    text = QStringLiteral("Usage: dazavu set PRINTERS 'CAPTION=VALUE'... [--per-unit] [--dry-run]\n\n") +
           QString::fromLatin1(kChanges) + QString::fromLatin1(kWriting);
  } else if (p_sCommand == QLatin1String("apply")) {
    text = QStringLiteral(
               "Usage: dazavu apply PRINTERS PROFILE [--per-unit] [--dry-run]\n\n"
               "PROFILE holds lines as show prints them (CAPTION: value), any subset, with optional\n"
               "[Page / Frame] headers, # comments and blank lines; or the JSON show --json prints\n"
               "(its settings marked settable: false give nothing);\n"
               "or a JSON object CAPTION -> value. show SOURCE --profile makes one without the\n"
               "settings of one unit. apply is set with the profile's settings.\n\n") +
           QString::fromLatin1(kChanges) + QString::fromLatin1(kWriting);
  } else if (p_sCommand == QLatin1String("restore")) {
    text = QStringLiteral(
               "Usage: dazavu restore PRINTERS --from DIR\n\n"
               "Writes each printer its own files DIR/HOST_PORT.dt1 and .dt2 (as read --out-dir and\n"
               "the backups name them), with the checks, backup and read-back of write. A printer\n"
               "with no file in DIR fails alone.\n\n") +
           QString::fromLatin1(kWriting);
  } else if (p_sCommand == QLatin1String("backups")) {
    return QStringLiteral(
        "Usage: dazavu backups [--backup-dir DIR] [--json]\n\n"
        "The backup runs, oldest first: time, tab, command, tab, printers, tab, folder.\n");
  } else if (p_sCommand == QLatin1String("captions")) {
    return QStringLiteral(
        "Usage: dazavu captions [--json]\n\n"
        "Every setting set and apply name: caption, tab, the values it takes, tab, notes\n"
        "(read only, one unit, not reported by the printer).\n");
  } else if (p_sCommand == QLatin1String("diff")) {
    return QStringLiteral(
        "Usage: dazavu diff A B [--timeout S] [--json]\n\n"
        "A and B are settings files or printers (lan:HOST[:PORT], com:N, usb). One line per\n"
        "setting that differs: CAPTION: value in A -> value in B, as the window shows them.\n");
  } else if (p_sCommand == QLatin1String("show")) {
    return QStringLiteral(
        "Usage: dazavu show SOURCE [--profile] [--timeout S] [--json]\n\n"
        "Every setting of a file or printer (lan:HOST[:PORT], com:N, usb), one CAPTION: value\n"
        "line each, grouped by page and frame. A setting the printer never reports (STOP BIT)\n"
        "shows as (not reported by the printer).\n"
        "--profile leaves out the settings of one unit (the Adjustment frame, the LAN\n"
        "addresses, the DHCP host name and client id) and KB I/F: a profile for apply.\n");
  } else if (p_sCommand == QLatin1String("maintenance")) {
    text = QStringLiteral(
        "Usage: dazavu maintenance PRINTERS ACTION\n\n"
        "Actions (the same bytes as the window's SEND buttons):\n"
        "  head-check\n"
        "  diag-print --type DIRECT|TRANSFR\n"
        "  test-print [--pattern NAME] [--count N] [--speed 2|4] [--sensor NONE|REFLECT.|TRANS.]\n"
        "             [--cut \"NO CUT\"|\"WITH CUT\"|\"PEEL OFF\"] [--print-type DIRECT|TRANSFR]\n"
        "             [--label-length N]\n"
        "  ram-clear --mode PARAMETER|MANTE.CNT [--destination JA|CN|QP|QQ]\n"
        "  sensor-adjust reflect|trans|paper-end\n"
        "  threshold-calib REFLECT.|TRANS.\n\n");
  } else if (p_sCommand == QLatin1String("check")) {
    text = QStringLiteral(
        "Usage: dazavu check PRINTER [--warning CODES] [--critical CODES] [--profile FILE]\n\n"
        "Asks one printer for its status and prints one line in the monitoring-plugins\n"
        "convention, \"DAZAVU OK - 127.0.0.1:8000 ON LINE | time=0.012s;;;0\"; exit 0 OK,\n"
        "1 WARNING, 2 CRITICAL (also when the printer does not answer), 3 UNKNOWN (wrong\n"
        "usage, a status code the tool does not know).\n"
        "  --warning CODES   status codes that are WARNING (default 01,04,05,06,07,30,31,54)\n"
        "  --critical CODES  status codes that are CRITICAL (default 11,12,13,14,15,17,18,21,\n"
        "                    22,50,51); a code in both lists is CRITICAL\n"
        "  --profile FILE    a settings file (.dt1, .dt2) or a profile as apply reads it (any\n"
        "                    other name): settings that differ are a WARNING, one line each\n\n");
  } else if (p_sCommand == QLatin1String("exporter")) {
    return QStringLiteral(
        "Usage: dazavu exporter [--listen ADDRESS:PORT] [--allow CIDR]... [--profile NAME=FILE]...\n"
        "                       [--timeout SECONDS]\n\n"
        "Serves Prometheus: /probe?target=HOST[:PORT] asks one LAN printer for its status\n"
        "(&profile=NAME also compares its settings with the file of that profile), /metrics\n"
        "has the exporter's own metrics, / a page with an example scrape configuration.\n"
        "  --listen ADDRESS:PORT  where to listen (default 127.0.0.1:9878; [::1]:9878, :9878)\n"
        "  --allow CIDR           probe only targets in these ranges (repeatable; default any)\n"
        "  --profile NAME=FILE    a settings file (.dt1, .dt2) or a profile as apply reads it\n"
        "                         (any other name) to compare with (repeatable)\n"
        "  --timeout SECONDS      a probe's longest time (default 5); a shorter scrape time-out\n"
        "                         (X-Prometheus-Scrape-Timeout-Seconds) less 0.5 s wins\n");
  } else if (p_sCommand == QLatin1String("discover")) {
    return QStringLiteral(
        "Usage: dazavu discover CIDR [--port PORT] [--jobs N] [--json]\n\n"
        "Asks every address of the range (at most a /16) for its status with a short\n"
        "time-out and lists those that answer: HOST:PORT, tab, status text. The output\n"
        "is a hosts file for --hosts.\n");
  } else {
    return QString::fromLatin1(kOverview) + QLatin1Char('\n') + QString::fromLatin1(kTargets);
  }
  return text + QString::fromLatin1(kTargets);
}
