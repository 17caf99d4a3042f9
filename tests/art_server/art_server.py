#!/usr/bin/env python3
"""A stand-in for the web server that publishes Chat's art, for the fetch tests.

  art_server.py start DIR   serves DIR/root on 127.0.0.1 in the background,
                            writes the port to DIR/port, logs to DIR/requests
  art_server.py stop DIR    stops it

The first part of a request's path chooses how it is answered, so each test
points ArtURL at the behaviour it needs (http://127.0.0.1:PORT/MODE/):
  ok/...     the file under DIR/root, or 404
  html/...   an HTML error page with status 200
  half/...   the first half of the file, with a matching Content-Length
  cut/...    a Content-Length of the whole file, then the connection closes
             after half of it
  missing/...  404
  slow/...   the file after 1.5 seconds
  hang/...   nothing for 60 seconds
"""
import http.server
import os
import signal
import sys
import time


class Handler(http.server.BaseHTTPRequestHandler):
    root = ''
    log = ''

    def log_message(self, *args):
        pass

    def do_GET(self):
        with open(self.log, 'a') as log:
            log.write(self.path + '\n')
        mode, _, rest = self.path.lstrip('/').partition('/')
        path = os.path.join(self.root, *rest.split('/'))
        if mode == 'html':
            return self.reply(200, b'<html><body>Sorry, this page is not here.</body></html>', 'text/html')
        if mode == 'hang':
            time.sleep(60)
            return
        if mode == 'missing' or '..' in rest or not os.path.isfile(path):
            return self.reply(404, b'404: Not Found', 'text/plain')
        with open(path, 'rb') as f:
            data = f.read()
        if mode == 'slow':
            time.sleep(1.5)
        if mode == 'half':
            return self.reply(200, data[:len(data) // 2])
        if mode == 'cut':
            self.send_response(200)
            self.send_header('Content-Length', str(len(data)))
            self.end_headers()
            self.wfile.write(data[:len(data) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.reply(200, data)

    def reply(self, status, body, kind='application/octet-stream'):
        self.send_response(status)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def start(folder):
    os.makedirs(os.path.join(folder, 'root'), exist_ok=True)
    stop(folder)
    Handler.root = os.path.join(folder, 'root')
    Handler.log = os.path.join(folder, 'requests')
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    server.daemon_threads = True
    if os.fork():
        return
    os.setsid()
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    with open(os.path.join(folder, 'pid'), 'w') as f:
        f.write(str(os.getpid()))
    with open(os.path.join(folder, 'port'), 'w') as f:
        f.write(str(server.server_address[1]))
    server.serve_forever()


def stop(folder):
    try:
        with open(os.path.join(folder, 'pid')) as f:
            os.kill(int(f.read()), signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ('pid', 'port'):
        try:
            os.remove(os.path.join(folder, name))
        except OSError:
            pass


if __name__ == '__main__':
    action, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    start(folder) if action == 'start' else stop(folder)
    if action == 'start':
        for _ in range(100):
            if os.path.exists(os.path.join(folder, 'port')):
                break
            time.sleep(0.05)
