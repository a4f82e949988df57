#!/usr/bin/perl
# Checks a screenshot: png_check.pl FILE WIDTH HEIGHT RRGGBB...
# The picture must have the given size, must not be blank, and must hold at least a
# few pixels of each colour named (each one a colour of one of the pages' pictures).
use strict;
use warnings;
use Compress::Zlib;

my ($file, $want_w, $want_h, @colours) = @ARGV;
die "usage: png_check.pl FILE WIDTH HEIGHT RRGGBB...\n" unless defined $want_h;
open(my $fh, '<:raw', $file) or die "png_check: cannot open $file\n";
local $/;
my $png = <$fh>;
close $fh;

substr($png, 0, 8) eq "\x89PNG\r\n\x1a\n" or die "png_check: $file is no PNG\n";
my ($pos, $w, $h, $depth, $type, $interlace, $idat) = (8, 0, 0, 0, 0, 0, '');
while ($pos + 8 <= length $png) {
	my ($len, $kind) = unpack('N a4', substr($png, $pos, 8));
	my $data = substr($png, $pos + 8, $len);
	if ($kind eq 'IHDR') {
		($w, $h, $depth, $type, undef, undef, $interlace) = unpack('N N C C C C C', $data);
	} elsif ($kind eq 'IDAT') {
		$idat .= $data;
	}
	$pos += 12 + $len;
}
die "png_check: size ${w}x$h, expected ${want_w}x$want_h\n" unless $w == $want_w && $h == $want_h;
die "png_check: unsupported PNG (depth $depth, type $type, interlace $interlace)\n"
	unless $depth == 8 && ($type == 2 || $type == 6) && $interlace == 0;

my $bpp = $type == 6 ? 4 : 3;
my $raw = uncompress($idat);
defined $raw or die "png_check: broken image data\n";
my $stride = $w * $bpp;
my @prev = (0) x $stride;
my (%count, $ink);
my @want = map { [map { hex } unpack('(A2)3', $_)] } @colours;
for my $y (0 .. $h - 1) {
	my $filter = ord substr($raw, $y * ($stride + 1), 1);
	my @cur = unpack('C*', substr($raw, $y * ($stride + 1) + 1, $stride));
	for my $i (0 .. $stride - 1) {
		my $a = $i >= $bpp ? $cur[$i - $bpp] : 0;
		my $b = $prev[$i];
		my $c = $i >= $bpp ? $prev[$i - $bpp] : 0;
		my $add = 0;
		if ($filter == 1) { $add = $a }
		elsif ($filter == 2) { $add = $b }
		elsif ($filter == 3) { $add = int(($a + $b) / 2) }
		elsif ($filter == 4) {
			my $p = $a + $b - $c;
			my ($pa, $pb, $pc) = (abs($p - $a), abs($p - $b), abs($p - $c));
			$add = ($pa <= $pb && $pa <= $pc) ? $a : ($pb <= $pc ? $b : $c);
		}
		$cur[$i] = ($cur[$i] + $add) & 255;
	}
	for (my $i = 0; $i < $stride; $i += $bpp) {
		my ($r, $g, $bl) = @cur[$i .. $i + 2];
		$ink++ if $r + $g + $bl < 720;
		for my $k (0 .. $#want) {
			my $c = $want[$k];
			$count{$k}++ if abs($r - $c->[0]) <= 8 && abs($g - $c->[1]) <= 8 && abs($bl - $c->[2]) <= 8;
		}
	}
	@prev = @cur;
}
$ink //= 0;
die "png_check: the page is blank\n" if $ink < 500;
my $fail = 0;
for my $k (0 .. $#want) {
	my $n = $count{$k} // 0;
	print "colour $colours[$k]: $n pixels\n";
	$fail = 1 if $n < 8;
}
die "png_check: a picture is missing from the page\n" if $fail;
print "png_check: ${w}x$h, $ink pixels of ink, every picture shown\n";
