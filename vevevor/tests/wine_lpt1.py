#!/usr/bin/env python3
"""Vevevor.dll under Wine, with LPT1 on a pseudo-terminal this script owns.

Cross-builds Vevevor.dll and lpt1_caller.exe with MinGW-w64, keeps a Wine
prefix of its own in the work folder and runs the caller there.  The caller
asks for what LPT1 should be ("HOST <request>" lines); this script links
$WINEPREFIX/dosdevices/lpt1 accordingly and plays the printer on the master
side of the pseudo-terminal:

  link none      lpt1 points at a file that does not exist
  link file      lpt1 is an empty plain file
  link pty       lpt1 is the slave of a new raw pseudo-terminal
  expect HEX     exactly these bytes arrive at the master
  hangup         the master is closed: the reader has gone
  fill           the pseudo-terminal is filled up and nobody reads it
  drain N        N bytes are read from the master: room for a part of a write

Every wait has a deadline.  The script starts the prefix's wineserver and
stops it again (wineserver -k), also when a check fails or a wait runs out.

Usage: wine_lpt1.py --cmake CMAKE --generator GEN --source VEVEVOR_DIR
                    --work DIR [--arch x86_64] [--stall BYTES]
Exits 0 when every check passed, 1 when one failed, 77 (skipped) when Wine
or the MinGW-w64 tools are missing.
"""

import argparse
import os
import pty
import select
import shutil
import signal
import subprocess
import sys
import time
import tty

SKIP = 77
# Prefix creation (once per work folder) and the cross build.
SETUP_SECONDS = 300
# The caller's run: the behaviour checks take well under a second once the
# prefix exists; the stall waits for the write bound.
RUN_SECONDS = 90
EXPECT_SECONDS = 5
SERVER_SECONDS = 30


def fail(message):
    print('FAIL: ' + message, flush=True)
    return 1


def find_tool(name, fallbacks=()):
    found = shutil.which(name)
    if found:
        return found
    for path in fallbacks:
        if os.access(path, os.X_OK):
            return path
    return None


class Port(object):
    """What dosdevices/lpt1 points at, and the master of the current pty."""

    def __init__(self, work, prefix):
        self.link = os.path.join(prefix, 'dosdevices', 'lpt1')
        self.nowhere = os.path.join(work, 'no-port')
        self.file = os.path.join(work, 'port-file')
        self.master = None
        self.slave = None  # kept open so that the pty lives as long as the test wants

    def relink(self, target):
        temporary = self.link + '.new'
        if os.path.lexists(temporary):
            os.unlink(temporary)
        os.symlink(target, temporary)
        os.replace(temporary, self.link)

    def close(self):
        for fd in (self.master, self.slave):
            if fd is not None:
                os.close(fd)
        self.master = self.slave = None

    def request(self, words):
        """Carries out one request; returns the answer line."""
        verb, args = words[0], words[1:]
        if verb == 'link' and args == ['none']:
            self.close()
            if os.path.lexists(self.nowhere):
                os.unlink(self.nowhere)
            self.relink(self.nowhere)
        elif verb == 'link' and args == ['file']:
            self.close()
            open(self.file, 'wb').close()
            self.relink(self.file)
        elif verb == 'link' and args == ['pty']:
            self.close()
            self.master, self.slave = pty.openpty()
            tty.setraw(self.slave)  # bytes pass unchanged, no CR added
            self.relink(os.ttyname(self.slave))
        elif verb == 'expect' and len(args) == 1 and self.master is not None:
            return self.expect(bytes.fromhex(args[0]))
        elif verb == 'drain' and len(args) == 1 and self.master is not None:
            if self.drain(int(args[0])) < int(args[0]):
                return 'fail the master had fewer than %s bytes to read' % args[0]
        elif verb == 'hangup' and self.master is not None:
            os.close(self.master)
            self.master = None
        elif verb == 'fill' and self.slave is not None:
            print('host: %d bytes fill the pseudo-terminal' % self.fill(), flush=True)
        else:
            return 'fail unknown request %r' % ' '.join(words)
        return 'ok'

    def expect(self, wanted):
        got = b''
        deadline = time.monotonic() + EXPECT_SECONDS
        while len(got) < len(wanted):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.master], [], [], left)[0]:
                return 'fail after %.0f s the master has %d of %d bytes: %s' % (
                    EXPECT_SECONDS, len(got), len(wanted), got.hex())
            got += os.read(self.master, len(wanted) - len(got))
        if got != wanted:
            return 'fail the master received %s' % got.hex()
        if select.select([self.master], [], [], 0)[0]:
            return 'fail more bytes followed: %s' % os.read(self.master, 4096).hex()
        return 'ok'

    def drain(self, count):
        """Reads up to count bytes from the master; how many there were."""
        got = 0
        while got < count and select.select([self.master], [], [], 1)[0]:
            got += len(os.read(self.master, count - got))
        return got

    def fill(self):
        """Writes into the pty from the host's own slave until nothing more
        fits, as long as the kernel keeps making room (bounded)."""
        os.set_blocking(self.slave, False)
        total = 0
        deadline = time.monotonic() + EXPECT_SECONDS
        while time.monotonic() < deadline:
            try:
                total += os.write(self.slave, b'\0' * 4096)
                continue
            except BlockingIOError:
                pass
            poller = select.poll()
            poller.register(self.slave, select.POLLOUT)
            if not poller.poll(200):
                break
        return total


class Lines(object):
    """Lines from a process's output pipe, each read bounded by a deadline.
    The pipe may outlive the process (Wine's own services can hold it), so
    its end is also the process's exit with nothing left to read."""

    def __init__(self, process):
        self.process = process
        self.fd = process.stdout.fileno()
        self.buffer = b''
        self.eof = False

    def next(self, deadline):
        while b'\n' not in self.buffer:
            if self.eof:
                rest, self.buffer = self.buffer, b''
                return rest.decode('utf-8', 'replace') if rest else None
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError
            if select.select([self.fd], [], [], min(left, 0.5))[0]:
                chunk = os.read(self.fd, 4096)
                self.buffer += chunk
                self.eof = not chunk
            elif self.process.poll() is not None:
                self.eof = True
        line, self.buffer = self.buffer.split(b'\n', 1)
        return line.decode('utf-8', 'replace').rstrip('\r')


def run_caller(wine, build, env, port, arguments, seconds):
    """Runs lpt1_caller.exe and answers its requests; its exit status."""
    caller = subprocess.Popen([wine, os.path.join(build, 'lpt1_caller.exe')] + arguments, cwd=build, env=env,
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    lines = Lines(caller)
    deadline = time.monotonic() + seconds
    try:
        while True:
            line = lines.next(deadline)
            if line is None:
                break
            print(line, flush=True)
            if line.startswith('HOST '):
                answer = port.request(line.split()[1:])
                if answer != 'ok':
                    print('host: ' + answer, flush=True)
                caller.stdin.write((answer + '\n').encode())
                caller.stdin.flush()
            elif line.startswith(('done: ', 'FAIL: ')) and line.endswith(' failed'):
                break
        return caller.wait(timeout=max(1, deadline - time.monotonic()))
    except (TimeoutError, subprocess.TimeoutExpired):
        caller.kill()
        caller.wait()
        return fail('lpt1_caller did not finish within %d s' % seconds)
    except BrokenPipeError:
        caller.wait(timeout=10)
        return fail('lpt1_caller stopped early (exit %s)' % caller.returncode)
    finally:
        caller.stdin.close()
        caller.stdout.close()


def cross_build(args, build):
    triplet = '%s-w64-mingw32' % args.arch
    for tool in ('gcc', 'windres'):
        if not shutil.which('%s-%s' % (triplet, tool)):
            print('SKIPPED: %s-%s not found; it comes with the Debian package mingw-w64, which '
                  'scripts/setup.sh installs' % (triplet, tool))
            return SKIP
    configure = [args.cmake, '-S', args.source, '-B', build, '-G', args.generator,
                 '-DCMAKE_TOOLCHAIN_FILE=%s/cmake/mingw-w64-%s.cmake' % (args.source, args.arch),
                 '-DCMAKE_BUILD_TYPE=Release', '-DVEVEVOR_BUILD_WINE_CALLER=ON',
                 '-DCMAKE_C_FLAGS=-Wall -Wextra -Werror']
    for command in (configure, [args.cmake, '--build', build, '--parallel', '1']):
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=SETUP_SECONDS)
        if result.returncode != 0:
            print(result.stdout.decode('utf-8', 'replace'))
            return fail('cross build: %s exited %d' % (' '.join(command[:3]), result.returncode))
    return 0


def stop_on_signal(number, frame):
    raise SystemExit('stopped by signal %d' % number)


def main():
    # CTest's time-out and Ctrl-C end the script through its clean-up.
    signal.signal(signal.SIGTERM, stop_on_signal)
    signal.signal(signal.SIGINT, stop_on_signal)
    parser = argparse.ArgumentParser()
    parser.add_argument('--cmake', required=True)
    parser.add_argument('--generator', required=True)
    parser.add_argument('--source', required=True)
    parser.add_argument('--work', required=True)
    parser.add_argument('--arch', default='x86_64')
    parser.add_argument('--stall', type=int, default=0, help='bytes of the write that runs into the bound')
    args = parser.parse_args()

    # Debian's wine package gives /usr/bin/wine; wine64 alone only /usr/lib/wine.
    wine = find_tool('wine', ['/usr/lib/wine/wine64'])
    wineserver = find_tool('wineserver', ['/usr/lib/wine/wineserver'])
    if not wine or not wineserver:
        print('SKIPPED: wine not found; it comes with the Debian packages wine and wine64, which '
              'scripts/setup.sh installs')
        return SKIP

    work = os.path.abspath(args.work)
    build = os.path.join(work, 'build')
    prefix = os.path.join(work, 'prefix')
    os.makedirs(prefix, exist_ok=True)
    status = cross_build(args, build)
    if status != 0:
        return status

    env = {k: v for k, v in os.environ.items() if k not in ('DISPLAY', 'WAYLAND_DISPLAY', 'WINELOADER')}
    # No Mono or Gecko prompts, no menu entries, no debug output.
    env.update(WINEPREFIX=prefix, WINEDEBUG='-all', WINEARCH='win64',
               WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d')
    # What Wine says while it sets the prefix up, from this run only.  The
    # wineserver itself stays quiet: at its end it lists every object it held.
    log = open(os.path.join(work, 'wine.log'), 'wb')

    def wine_run(command, seconds):
        output = subprocess.DEVNULL if command[0] == wineserver else log
        return subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=output, stderr=output,
                              timeout=seconds)

    port = Port(work, prefix)
    status = 1
    try:
        status = run_in_prefix(args, wine, wineserver, wine_run, build, env, port)
    except subprocess.TimeoutExpired as e:
        status = fail('%s did not finish within %s s' % (' '.join(e.cmd), e.timeout))
    finally:
        port.close()
        try:
            wine_run([wineserver, '-k'], SERVER_SECONDS)
            wine_run([wineserver, '-w'], SERVER_SECONDS)
        except subprocess.TimeoutExpired:
            status = fail('the wineserver of %s did not stop' % prefix)
        log.close()
    return status


def run_in_prefix(args, wine, wineserver, wine_run, build, env, port):
    """Starts the prefix's wineserver, sets the prefix up the first time, and
    runs the caller; 0 when every check passed."""
    prefix = env['WINEPREFIX']
    wine_run([wineserver, '-k'], SERVER_SECONDS)  # one left over by a killed run
    # Persistent for a while only: should this script be killed, the server
    # and its services end by themselves once the caller has gone.
    if wine_run([wineserver, '-p%d' % SERVER_SECONDS], SERVER_SECONDS).returncode != 0:
        return fail('wineserver did not start; see wine.log beside %s' % prefix)
    if not os.path.exists(os.path.join(prefix, 'system.reg')):
        started = time.monotonic()
        if wine_run([wine, 'wineboot', '-i'], SETUP_SECONDS).returncode != 0:
            return fail('wineboot could not set up %s; see wine.log beside it' % prefix)
        print('host: Wine prefix set up in %.0f s' % (time.monotonic() - started), flush=True)
    if args.stall > 0:
        seconds = RUN_SECONDS + (15000 + args.stall) // 1000
        status = run_caller(wine, build, env, port, ['stall', str(args.stall)], seconds)
    else:
        status = run_caller(wine, build, env, port, [], RUN_SECONDS)
    return 0 if status == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
