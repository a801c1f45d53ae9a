#!/usr/bin/env python3
"""Makes the sample documents of the charset tests and the UTF-16LE text that Python's
codecs decode from them (*.expected). Run once; the output is committed."""


def split_at_blocks(data, codec):
    # True when a multi-byte character straddles each 4096-byte block boundary.
    for boundary in range(4096, len(data), 4096):
        try:
            data[:boundary].decode(codec)
            return False
        except UnicodeDecodeError:
            pass
    return True


def make(name, codec, head, lines, multibyte):
    body = ''
    i = 0
    while len(body.encode(codec)) < 9000:
        body += '<p>%d %s</p>\r\n' % (i, lines[i % len(lines)])
        i += 1
    pad = 0
    while True:
        text = head + '<!-- ' + 'x' * pad + ' -->\r\n<body>\r\n' + body + '</body></html>\r\n'
        data = text.encode(codec)
        if not multibyte or split_at_blocks(data, codec):
            break
        pad += 1
    if codec == 'shift_jis':
        assert data.decode('shift_jis') == data.decode('cp932')
    with open(name + '.html', 'wb') as f:
        f.write(data)
    with open(name + '.expected', 'wb') as f:
        f.write(data.decode(codec).encode('utf-16-le'))


make('windows-1250', 'cp1250',
     '<html><head><meta http-equiv="Content-Type" content="text/html; charset=windows-1250">\r\n',
     ['Příliš žluťoučký kůň úpěl ďábelské ódy.', 'Zażółć gęślą jaźń – „cytat“ € ‰',
      'Árvíztűrő tükörfúrógép, ŐŰ őű'], False)
make('koi8-r', 'koi8_r',
     '<?xml version="1.0" encoding="koi8-r"?>\r\n<html><head>\r\n',
     ['Съешь же ещё этих мягких французских булок, да выпей чаю.',
      'ЁЛКА ёлка ─│┌┐ ░▒▓ ≤≥ ÷'], False)
make('shift_jis', 'shift_jis',
     '<html><head><meta charset="Shift_JIS">\r\n',
     ['いろはにほへと ちりぬるを <a href="/~user/a\\b.html">リンク</a>',
      '日本語のテキスト、カタカナとｶﾀｶﾅ。', '漢字「表示」・ー'], True)
make('utf-8', 'utf-8',
     '<html><head><meta http-equiv="content-type" content="text/html; charset=UTF-8">\r\n',
     ['Grüße – Ελληνικά – Русский – 日本語', 'emoji 😀🎉 and 𝄞 clef', '€ ≠ ∞ ♦'], True)
