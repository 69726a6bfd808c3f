#!/usr/bin/env python3
"""Writes a reproducible application folder to benchmark installers with.

    gen_payload.py --seed N --files F --size BYTES OUT_DIR

The same seed, file count and size always give a byte-identical tree (names, contents and
modification times), so two machines, or two runs, pack the same thing. About half of the bytes
are text that deflates the way program text does, the other half random bytes that do not
deflate at all (as compressed images, media and signed binaries do not). Folders nest up to six
levels; names mix Chinese (every one fits code page 936, which the installer's configuration is
stored in), spaces and plain ASCII. The top level always holds lumetra_ios.exe, the program the
installer's configuration names; its bytes are never run.

BYTES takes a K, M or G suffix (powers of 1024 are KiB-style: 10M = 10 * 1024 * 1024).
"""

import argparse
import os
import random
import sys

# Modification time of every file and folder: the tree, and the archives packed from it, do not
# depend on when it was written.
FIXED_MTIME = 1704067200  # 2024-01-01 00:00:00 UTC

PROGRAM_NAME = "lumetra_ios.exe"
PROGRAM_SIZE = 64 * 1024

FOLDER_NAMES = [
    "资源", "数据", "插件", "语言包", "皮肤", "驱动程序", "帮助 文档", "图片 素材", "配置",
    "日志", "模板", "字体", "音效", "备份 文件", "缓存", "扩展 组件",
    "data", "bin", "lib", "plugins", "Common Files", "locales", "res", "themes", "x86",
    "resources 2", "runtime",
]
FILE_STEMS = [
    "连接说明", "设备 管理", "同步助手", "备份恢复", "铃声制作", "照片导入", "通讯录", "短信 记录",
    "应用 管理", "固件更新", "用户协议", "更新日志", "主界面", "设置", "图标", "背景 图",
    "readme", "settings", "core", "device support", "helper", "update agent", "icons",
    "strings", "main", "config", "license notes", "crash reporter",
]
TEXT_EXTENSIONS = [".txt", ".ini", ".xml", ".json", ".js", ".lua", ".html", ".css", ".log"]
BINARY_EXTENSIONS = [".dll", ".dat", ".bin", ".png", ".pak", ".ogg", ".db", ".so"]


def parse_size(text):
    units = {"K": 1024, "M": 1024 ** 2, "G": 1024 ** 3}
    text = text.strip().upper()
    if text and text[-1] in units:
        return int(float(text[:-1]) * units[text[-1]])
    return int(text)


def make_corpus(rng, length=1 << 20):
    """A block of text from a small vocabulary with a skewed word frequency, in lines of code
    and prose, some of it Chinese: deflate packs it about as well as it packs program text."""
    syllables = ["ka", "lo", "mi", "ren", "to", "vas", "qu", "el", "dor", "in", "sa", "pe", "th",
                 "ar", "on", "ix", "ul", "be", "ch", "st"]
    words = ["".join(rng.choice(syllables) for _ in range(rng.randint(1, 4))) for _ in range(1500)]
    words += ["设备", "连接", "同步", "备份", "文件", "用户", "数据", "更新", "安装", "错误"]
    weights = [1.0 / (rank + 1) for rank in range(len(words))]
    rng.shuffle(weights)
    pieces = []
    size = 0
    while size < length:
        count = rng.randint(4, 14)
        line_words = rng.choices(words, weights, k=count)
        form = rng.random()
        if form < 0.3:
            line = "    %s = %s(%s, %d);" % (line_words[0], line_words[1], ", ".join(line_words[2:]),
                                          rng.randint(0, 9999))
        elif form < 0.45:
            line = "<%s id=\"%s\">%s</%s>" % (line_words[0], line_words[1], " ".join(line_words[2:]),
                                             line_words[0])
        else:
            line = " ".join(line_words).capitalize() + "."
        encoded = (line + "\r\n").encode("utf-8")
        pieces.append(encoded)
        size += len(encoded)
    return b"".join(pieces)[:length]


def text_bytes(rng, corpus, size):
    """size bytes of text: pieces of the corpus from random places, so that no two files, and no
    two pieces inside deflate's 32 KiB window, repeat each other."""
    out = bytearray()
    while len(out) < size:
        piece = rng.randint(2048, 16384)
        start = rng.randrange(0, len(corpus) - piece)
        out += corpus[start:start + piece]
    return bytes(out[:size])


def unique_name(rng, pool, taken, extension=""):
    base = rng.choice(pool)
    name = base + extension
    number = 2
    while name.lower() in taken or name.lower() == PROGRAM_NAME:
        name = "%s %d%s" % (base, number, extension)
        number += 1
    taken.add(name.lower())
    return name


def split_sizes(rng, total, count):
    """count sizes summing to total, spread the way an application's files are: many small ones
    and a few large ones."""
    if count == 0:
        return []
    weights = [rng.lognormvariate(0.0, 1.6) for _ in range(count)]
    scale = total / sum(weights)
    sizes = [int(w * scale) for w in weights]
    sizes[max(range(count), key=lambda i: sizes[i])] += total - sum(sizes)
    return sizes


def build_tree(seed, files, size):
    """The tree as (relative folder list, [(relative path, kind, size)]). Names use '/'."""
    rng = random.Random(seed)
    if files < 2:
        raise ValueError("--files must be at least 2 (the program and one more)")
    if size < PROGRAM_SIZE + files:
        raise ValueError("--size is too small for %d files" % files)

    # Folders: each new one goes under an existing one (or the top), at most six deep. The first
    # few form one chain so that the deepest level is always reached.
    folder_count = max(3, min(files // 10, 400))
    folders = []
    children = {"": set()}
    depth = {"": 0}
    for i in range(folder_count):
        if i < 6:
            parent = folders[-1] if folders else ""
        else:
            parent = rng.choice([""] + [f for f in folders if depth[f] < 6])
        name = unique_name(rng, FOLDER_NAMES, children[parent])
        path = parent + "/" + name if parent else name
        folders.append(path)
        children[path] = set()
        depth[path] = depth[parent] + 1

    others = files - 1
    sizes = split_sizes(rng, size - PROGRAM_SIZE, others)
    # Every folder gets at least one file, so that a folder is never empty (some installers keep
    # empty folders, some do not, and the count check compares files).
    places = list(folders) + [rng.choice([""] + folders) for _ in range(max(0, others - len(folders)))]
    rng.shuffle(places)
    places = places[:others]

    # Half of the bytes text, half random: the largest files go first, each to the kind that has
    # fewer bytes so far.
    order = sorted(range(others), key=lambda i: -sizes[i])
    kinds = [None] * others
    text_total = binary_total = 0
    for i in order:
        if text_total <= binary_total:
            kinds[i] = "text"
            text_total += sizes[i]
        else:
            kinds[i] = "binary"
            binary_total += sizes[i]

    entries = [(PROGRAM_NAME, "binary", PROGRAM_SIZE)]
    taken_files = {folder: set(children[folder]) for folder in [""] + folders}
    for i in range(others):
        folder = places[i]
        extensions = TEXT_EXTENSIONS if kinds[i] == "text" else BINARY_EXTENSIONS
        name = unique_name(rng, FILE_STEMS, taken_files[folder], rng.choice(extensions))
        entries.append((folder + "/" + name if folder else name, kinds[i], sizes[i]))
    return rng, folders, entries


def write_tree(seed, files, size, out_dir):
    rng, folders, entries = build_tree(seed, files, size)
    for path in [p for p, _, _ in entries] + folders:
        for part in path.split("/"):
            part.encode("gbk")  # every name must fit code page 936
    corpus = make_corpus(rng)
    os.makedirs(out_dir, exist_ok=True)
    for folder in folders:
        os.makedirs(os.path.join(out_dir, *folder.split("/")), exist_ok=True)
    for path, kind, length in entries:
        data = text_bytes(rng, corpus, length) if kind == "text" else rng.randbytes(length)
        target = os.path.join(out_dir, *path.split("/"))
        with open(target, "wb") as handle:
            handle.write(data)
        os.utime(target, (FIXED_MTIME, FIXED_MTIME))
    for folder in sorted(folders, key=lambda f: -f.count("/")):
        target = os.path.join(out_dir, *folder.split("/"))
        os.utime(target, (FIXED_MTIME, FIXED_MTIME))
    return folders, entries


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, required=True)
    parser.add_argument("--files", type=int, required=True, help="number of files, the program included")
    parser.add_argument("--size", type=parse_size, required=True, help="total bytes of all files (K, M, G suffixes)")
    parser.add_argument("out_dir")
    args = parser.parse_args(argv)
    if os.path.exists(args.out_dir) and os.listdir(args.out_dir):
        print("gen_payload: %s exists and is not empty" % args.out_dir, file=sys.stderr)
        return 1
    try:
        folders, entries = write_tree(args.seed, args.files, args.size, args.out_dir)
    except (ValueError, UnicodeEncodeError) as error:
        print("gen_payload: %s" % error, file=sys.stderr)
        return 1
    text = sum(n for _, k, n in entries if k == "text")
    deepest = max(f.count("/") + 1 for f in folders)
    print("gen_payload: %d files, %d folders (%d deep), %d bytes (%d text, %d random) in %s"
          % (len(entries), len(folders), deepest, args.size, text, args.size - text, args.out_dir))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
