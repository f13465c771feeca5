"""Helpers shared by the sample scripts written in Python (imported by them, not run alone; needs
imagemagick for the drawing): the source drawing of the reader tests and the split of bytes into runs
and literal stretches that the run-length writers pack in their own ways."""
import subprocess

WIDTH, HEIGHT = 37, 23


def run(args, data=None):
    return subprocess.run(args, input=data, capture_output=True, check=True).stdout


def drawing(alpha=False, colors=None):
    """ImageMagick's WIDTH x HEIGHT drawing of ../sample_sources.sh's source.ppm, raw R G B bytes (R G B A
    with alpha rising from left to right), reduced undithered to `colors` colours when given."""
    args = ['convert', '-size', f'{WIDTH}x{HEIGHT}', 'gradient:#ff3000-#0040ff', '-fill', '#20c040', '-draw',
            'circle 12,11 12,4', '-fill', 'white', '-draw', 'rectangle 24,3 32,19']
    if colors:
        args += ['+dither', '-colors', str(colors)]
    if alpha:
        args += ['(', '+clone', '-fx', 'i/w', ')', '-compose', 'CopyOpacity', '-composite']
    return run(args + ['-depth', '8', 'rgba:-' if alpha else 'rgb:-'])


def runs(data, longest):
    """Splits data into runs of three or more equal bytes, (length, value), and the literal stretches
    between them, (0, bytes); neither longer than `longest`."""
    i = 0
    while i < len(data):
        length = 1
        while i + length < len(data) and length < longest and data[i + length] == data[i]:
            length += 1
        if length >= 3:
            yield length, data[i]
            i += length
            continue
        start = i
        while i < len(data) and i - start < longest:
            if i + 2 < len(data) and data[i] == data[i + 1] == data[i + 2]:
                break
            i += 1
        yield 0, bytes(data[start:i])
