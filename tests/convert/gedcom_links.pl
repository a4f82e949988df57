#!/usr/bin/perl
# Converts a flat file with flatged, then reads the GEDCOM file with an independent GEDCOM
# library and checks the counts of people and families and that every link is answered.
# Usage: gedcom_links.pl FLATGED IDATA PEOPLE FAMILIES
use strict;
use warnings;
use File::Copy qw(copy);
use File::Spec;
use File::Temp qw(tempdir);
use Gedcom;

my ($flatged, $flat, $want_people, $want_families) = @ARGV;
$flatged = File::Spec->rel2abs($flatged);
my $dir = tempdir(CLEANUP => 1);
copy($flat, "$dir/idata.in") or die "cannot copy $flat: $!\n";
chdir $dir or die "cannot enter $dir: $!\n";
system("'$flatged' family.ged > console.txt") == 0 or die "flatged failed\n";

my @complaints;
local $SIG{__WARN__} = sub { push @complaints, @_ };
my $ged = Gedcom->new(gedcom_file => "family.ged", grammar_version => "5.5");
$ged->validate;
# The header names no submitter, which the library reports; anything else is a fault.
@complaints = grep { !/HEAD has 0 SUBMs/ } @complaints;
my $faults = 0;
sub fault { print "FAULT: @_\n"; $faults++ }
fault("library says: $_") for @complaints;

sub id { my $v = shift; $v = $v->xref if ref $v; $v =~ s/\@//g; return $v }

my @people = $ged->individuals;
my @families = $ged->families;
fault(scalar(@people) . " individuals, expected $want_people") if @people != $want_people;
fault(scalar(@families) . " families, expected $want_families") if @families != $want_families;

my %members;
for my $f (@families) {
	my $x = id($f->xref);
	$members{$x}{spouse}{id($_)} = 1 for ($f->tag_value("HUSB"), $f->tag_value("WIFE"));
	$members{$x}{child}{id($_)} = 1 for $f->tag_value("CHIL");
}
my %person = map { id($_->xref) => 1 } @people;
for my $i (@people) {
	my $me = id($i->xref);
	for my $link ([FAMS => 'spouse'], [FAMC => 'child']) {
		my ($tag, $role) = @$link;
		for my $fam (map { id($_) } $i->tag_value($tag)) {
			fault("$me: $tag $fam names no family") unless $members{$fam};
			fault("$me: $tag $fam, but the family does not list $me")
				unless $members{$fam} && $members{$fam}{$role}{$me};
		}
	}
}
for my $fam (sort keys %members) {
	for my $role (qw(spouse child)) {
		fault("$fam names $_, who has no record") for grep { !$person{$_} } keys %{$members{$fam}{$role}};
	}
}
print $faults ? "$faults faults\n" : "ok: " . scalar(@people) . " individuals, " . scalar(@families) . " families, every link answered\n";
exit($faults ? 1 : 0);
